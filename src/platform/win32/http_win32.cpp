// The HTTP client on Windows: WinINet, loaded by full path from the System folder on first use
// (never from a folder an attacker could plant a copy in), each function bound when it is
// first used.

#include <windows.h>

#include <wininet.h>

#include <cwchar>
#include <string>

#include "platform/http.h"
#include "platform/win32/system_library.h"

namespace platform {
namespace {

// Loaded when first needed, after start-up has restricted the library search.
HMODULE winInet() {
    static const HMODULE library = loadSystemLibrary(L"wininet.dll");
    return library;
}

// The function `name` of wininet.dll, or null when it is missing.
template <typename Function>
Function bind(const char* name) {
    return boundFunction<Function>(winInet(), name);
}

#define HELMSIGHT_WININET(name)                                                          \
    static const auto name##Bound = bind<decltype(&::name)>(#name);                      \
    if (name##Bound == nullptr) {                                                        \
        SetLastError(winInet() == nullptr ? ERROR_MOD_NOT_FOUND : ERROR_PROC_NOT_FOUND); \
    }

HINTERNET native(InternetHandle handle) {
    return reinterpret_cast<HINTERNET>(handle);
}

InternetHandle wrap(HINTERNET handle) {
    return reinterpret_cast<InternetHandle>(handle);
}

}  // namespace

bool internetGetConnectedState(const std::wstring&) {
    HELMSIGHT_WININET(InternetGetConnectedState)
    DWORD flags = 0;
    return InternetGetConnectedStateBound != nullptr &&
           InternetGetConnectedStateBound(&flags, 0) != FALSE;
}

InternetHandle internetOpen() {
    HELMSIGHT_WININET(InternetOpenW)
    if (InternetOpenWBound == nullptr) {
        return nullptr;
    }
    return wrap(InternetOpenWBound(L"", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
}

namespace {

bool hasScheme(const std::wstring& url, const wchar_t* scheme) {
    const size_t length = std::wcslen(scheme);
    return url.size() >= length && _wcsnicmp(url.c_str(), scheme, length) == 0;
}

// The address the request ended at, after the redirects WinINet followed.
std::wstring finalUrl(HINTERNET request) {
    HELMSIGHT_WININET(InternetQueryOptionW)
    if (InternetQueryOptionWBound == nullptr) {
        return L"";
    }
    DWORD bytes = 0;
    InternetQueryOptionWBound(request, INTERNET_OPTION_URL, nullptr, &bytes);
    std::wstring url(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(url.size() * sizeof(wchar_t));
    if (!InternetQueryOptionWBound(request, INTERNET_OPTION_URL, url.data(), &bytes)) {
        return L"";
    }
    url.resize(std::wcslen(url.c_str()));
    return url;
}

// The Location header of an answer that is still a redirect: one that WinINet did not follow,
// such as a redirect to another scheme. Empty for any other answer.
std::wstring unfollowedRedirect(HINTERNET request) {
    HELMSIGHT_WININET(HttpQueryInfoW)
    if (HttpQueryInfoWBound == nullptr) {
        return L"";
    }
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoWBound(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                             &size, nullptr) ||
        status < 300 || status > 399) {
        return L"";
    }
    wchar_t location[2048] = {};
    size = sizeof location - sizeof location[0];
    if (!HttpQueryInfoWBound(request, HTTP_QUERY_LOCATION, location, &size, nullptr)) {
        return L"";
    }
    return location;
}

// Zero when the request may end where it did: a secure request only at an HTTPS address, and
// no request at, or redirected to, a scheme other than HTTP and HTTPS. WinINet follows
// redirects on its own, so the answer they led to is refused here, before anyone reads it.
DWORD redirectError(const std::wstring& requested, HINTERNET request) {
    const std::wstring reached = finalUrl(request);
    if (hasScheme(requested, L"https://") && !hasScheme(reached, L"https://")) {
        return ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR;
    }
    if (!hasScheme(reached, L"https://") && !hasScheme(reached, L"http://")) {
        return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    }
    // A relative Location names no scheme: its ':' would come after a '/', '?' or '#'.
    const std::wstring next = unfollowedRedirect(request);
    const size_t colon = next.find(L':');
    const bool namesScheme = colon != std::wstring::npos && colon < next.find_first_of(L"/?#");
    if (namesScheme && !hasScheme(next, L"https://") && !hasScheme(next, L"http://")) {
        return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    }
    return 0;
}

}  // namespace

InternetHandle internetOpenUrl(InternetHandle internet, const std::wstring& url) {
    HELMSIGHT_WININET(InternetOpenUrlW)
    if (InternetOpenUrlWBound == nullptr) {
        return nullptr;
    }
    HINTERNET request =
        InternetOpenUrlWBound(native(internet), url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0);
    if (request == nullptr) {
        return nullptr;
    }
    const DWORD refused = redirectError(url, request);
    if (refused != 0) {
        internetCloseHandle(wrap(request));
        SetLastError(refused);
        return nullptr;
    }
    return wrap(request);
}

bool httpQueryStatusCode(InternetHandle request, std::wstring& statusText) {
    HELMSIGHT_WININET(HttpQueryInfoW)
    if (HttpQueryInfoWBound == nullptr) {
        return false;
    }
    // A 1024-byte buffer of which 512 bytes are offered: room for 255 characters and the end.
    wchar_t buffer[512] = {};
    DWORD length = 512;
    DWORD index = 0;
    if (!HttpQueryInfoWBound(native(request), HTTP_QUERY_STATUS_CODE, buffer, &length, &index)) {
        return false;
    }
    statusText = buffer;
    return true;
}

bool httpQueryContentLength(InternetHandle request, uint64_t& length) {
    HELMSIGHT_WININET(HttpQueryInfoW)
    if (HttpQueryInfoWBound == nullptr) {
        return false;
    }
    wchar_t buffer[64] = {};
    DWORD size = sizeof buffer - sizeof buffer[0];
    DWORD index = 0;
    if (!HttpQueryInfoWBound(native(request), HTTP_QUERY_CONTENT_LENGTH, buffer, &size, &index)) {
        return false;
    }
    wchar_t* end = nullptr;
    const unsigned long long value = std::wcstoull(buffer, &end, 10);
    if (end == buffer) {
        SetLastError(ERROR_HTTP_HEADER_NOT_FOUND);
        return false;
    }
    length = value;
    return true;
}

bool internetReadFile(InternetHandle request, void* buffer, uint32_t size, uint32_t& bytesRead) {
    HELMSIGHT_WININET(InternetReadFile)
    bytesRead = 0;
    if (InternetReadFileBound == nullptr) {
        return false;
    }
    DWORD read = 0;
    const BOOL ok = InternetReadFileBound(native(request), buffer, size, &read);
    bytesRead = read;
    return ok != FALSE;
}

void internetCloseHandle(InternetHandle handle) {
    HELMSIGHT_WININET(InternetCloseHandle)
    if (handle != nullptr && InternetCloseHandleBound != nullptr) {
        InternetCloseHandleBound(native(handle));
    }
}

uint32_t lastError() {
    return GetLastError();
}

std::wstring internetErrorText(uint32_t code) {
    wchar_t* text = nullptr;
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                        FORMAT_MESSAGE_IGNORE_INSERTS |
                        (winInet() != nullptr ? FORMAT_MESSAGE_FROM_HMODULE : 0);
    const DWORD length =
        FormatMessageW(flags, winInet(), code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring result = length > 0 && text != nullptr ? std::wstring(text, length) : L"";
    LocalFree(text);
    while (!result.empty() &&
           (result.back() == L' ' || result.back() == L'\r' || result.back() == L'\n')) {
        result.pop_back();
    }
    return result;
}

}  // namespace platform
