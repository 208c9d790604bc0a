// Download failure messages: HTTP statuses and HTTP client error codes as the user reads them.
#include "network/download_failure.h"

#include "core/messages.h"
#include "localization/translation_catalog.h"

namespace {

constexpr int kLargestStatus = 100000;  // more digits than any status has: stop counting

void showError(const std::wstring& text) {
    showMessage(text, translate(L"IDS_TITLE_ERROR"));
}

std::wstring lastPathComponent(const std::wstring& name) {
    const size_t last = name.find_last_of(L"\\/");
    return last == std::wstring::npos ? name : name.substr(last + 1);
}

std::wstring lowerHex(uint32_t value) {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring text;
    do {
        text.insert(text.begin(), digits[value % 16]);
        value /= 16;
    } while (value != 0);
    return text;
}

}  // namespace

int httpStatusOf(const std::wstring& statusText) {
    int status = 0;
    for (const wchar_t c : statusText) {
        if (c < L'0' || c > L'9') {
            break;
        }
        status = status * 10 + (c - L'0');
        if (status >= kLargestStatus) {
            break;
        }
    }
    return status;
}

bool checkHttpStatus(platform::InternetHandle request, const std::wstring& fileName) {
    std::wstring statusText;
    if (!platform::httpQueryStatusCode(request, statusText)) {
        reportNetworkError(platform::lastError(), fileName);
        return false;
    }
    const int status = httpStatusOf(statusText);
    if (status >= 200 && status <= 399) {
        return true;
    }
    if (status == 404) {
        showError(translate(L"text_missing_file", {fileName}));
    } else if (status == 500) {
        showError(translate(L"internal_server_error", {fileName}));
    } else {
        showError(translate(L"error_generic", {statusText, fileName}));
    }
    return false;
}

void reportNetworkError(uint32_t code, const std::wstring& name) {
    if (code == 0) {
        return;
    }
    if (code == platform::kErrorInternetInvalidCa) {
        showError(translate(L"ssl_error", {name}));
        return;
    }
    std::wstring systemText = platform::internetErrorText(code);
    if (systemText.empty()) {
        systemText = L"unknown error";
    }
    showError(systemText + L"(0x" + lowerHex(code) + L"): " + lastPathComponent(name));
}

void reportDownloadFailure(const std::wstring& name, const std::wstring& reason) {
    std::wstring text = translate(L"error_download") + L" " + name;
    if (!reason.empty()) {
        text += L": " + reason;
    }
    showError(text);
}
