// Raw output files on Windows.

#include <windows.h>

#include "platform/output_file.h"

namespace platform {
namespace {

std::wstring reasonOf(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring result = length > 0 && text != nullptr ? std::wstring(text, length) : L"";
    LocalFree(text);
    while (!result.empty() &&
           (result.back() == L' ' || result.back() == L'\r' || result.back() == L'\n')) {
        result.pop_back();
    }
    return result.empty() ? L"error " + std::to_wstring(error) : result;
}

HANDLE native(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

bool OutputFile::open(const std::wstring& path) {
    close();
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        errorText_ = reasonOf(GetLastError());
        return false;
    }
    handle_ = reinterpret_cast<intptr_t>(file);
    return true;
}

bool OutputFile::write(const void* data, size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        DWORD written = 0;
        const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        if (!WriteFile(native(handle_), bytes, chunk, &written, nullptr) || written == 0) {
            errorText_ = reasonOf(GetLastError());
            return false;
        }
        bytes += written;
        size -= written;
    }
    return true;
}

bool OutputFile::close() {
    if (handle_ == -1) {
        return true;
    }
    const BOOL closed = CloseHandle(native(handle_));
    handle_ = -1;
    if (!closed) {
        errorText_ = reasonOf(GetLastError());
        return false;
    }
    return true;
}

}  // namespace platform
