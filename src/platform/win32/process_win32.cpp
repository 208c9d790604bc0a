// Library search hardening and immediate exit on Windows.

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "platform/folders.h"
#include "platform/process.h"
#include "platform/win32/system_library.h"

namespace platform {
namespace {

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

std::atomic<bool> searchRestricted{false};

}  // namespace

void hardenLibrarySearch() {
    if (searchRestricted.exchange(true)) {
        return;
    }
    SetDllDirectoryW(L"");
    // Looked up at run time: Vista, and Windows 7 without its 2011 loader update, do not have
    // it, and a static import would keep the program from starting there at all. Kernel32 is
    // in every process already, so asking for it loads nothing.
    const auto setDefaultDllDirectories = boundFunction<SetDefaultDllDirectoriesFn>(
        GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    if (setDefaultDllDirectories != nullptr) {
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

HMODULE loadSystemLibrary(const wchar_t* fileName) {
    hardenLibrarySearch();
    const std::wstring path = systemFolder() + L"\\" + fileName;
    return LoadLibraryW(path.c_str());
}

void exitProcessNow(int exitCode) {
    std::fflush(nullptr);
    ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace platform
