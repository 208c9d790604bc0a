// Library search hardening and immediate exit on Windows.

#include <windows.h>

#include <cstdio>

#include "platform/process.h"

namespace platform {

void hardenLibrarySearch() {
    SetDllDirectoryW(L"");
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

void exitProcessNow(int exitCode) {
    std::fflush(nullptr);
    ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace platform
