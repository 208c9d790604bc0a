// The process's current folder on Windows.
#include <windows.h>

#include "platform/working_folder.h"

namespace platform {

bool setCurrentFolder(const std::wstring& folder) {
    return SetCurrentDirectoryW(folder.c_str()) != FALSE;
}

std::wstring currentFolder() {
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(length, L'\0');
    const DWORD written = GetCurrentDirectoryW(length, folder.data());
    folder.resize(written < length ? written : 0);
    return folder;
}

}  // namespace platform
