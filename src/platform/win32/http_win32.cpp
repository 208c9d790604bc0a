// The HTTP client on Windows: WinINet, loaded by full path from the System folder when the
// program starts (never from a folder an attacker could plant a copy in), each function bound
// when it is first used.

#include <windows.h>

#include <wininet.h>

#include <cwchar>
#include <string>

#include "platform/folders.h"
#include "platform/http.h"

namespace platform {
namespace {

HMODULE loadWinInet() {
    const std::wstring path = systemFolder() + L"\\wininet.dll";
    return LoadLibraryW(path.c_str());
}

const HMODULE winInet = loadWinInet();

// The function `name` of wininet.dll, or null when it is missing.
template <typename Function>
Function bind(const char* name) {
    if (winInet == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(winInet, name)));
}

#define HELMSIGHT_WININET(name)                                                        \
    static const auto name##Bound = bind<decltype(&::name)>(#name);                    \
    if (name##Bound == nullptr) {                                                      \
        SetLastError(winInet == nullptr ? ERROR_MOD_NOT_FOUND : ERROR_PROC_NOT_FOUND); \
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

InternetHandle internetOpenUrl(InternetHandle internet, const std::wstring& url) {
    HELMSIGHT_WININET(InternetOpenUrlW)
    if (InternetOpenUrlWBound == nullptr) {
        return nullptr;
    }
    return wrap(
        InternetOpenUrlWBound(native(internet), url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0));
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
                        (winInet != nullptr ? FORMAT_MESSAGE_FROM_HMODULE : 0);
    const DWORD length =
        FormatMessageW(flags, winInet, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring result = length > 0 && text != nullptr ? std::wstring(text, length) : L"";
    LocalFree(text);
    while (!result.empty() &&
           (result.back() == L' ' || result.back() == L'\r' || result.back() == L'\n')) {
        result.pop_back();
    }
    return result;
}

}  // namespace platform
