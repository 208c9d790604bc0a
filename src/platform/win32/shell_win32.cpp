// Handing documents and programs to the Windows shell.

#include <windows.h>

#include <shellapi.h>

#include "platform/shell.h"

namespace platform {

void openWithShell(const std::wstring& address) {
    ShellExecuteW(GetDesktopWindow(), L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void startApplication(const std::wstring& path) {
    ShellExecuteW(nullptr, L"runas", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace platform
