// Loading the system libraries that the program binds by name: always by full path from the
// System folder, and never before the library search is restricted, so that neither the
// library nor anything it loads in turn can come from the program's own folder.
#pragma once

#include <windows.h>

namespace platform {

// Loads `fileName` (e.g. L"wininet.dll") from the System folder, restricting the library search
// first if that has not happened yet. The library stays loaded; null when it cannot be loaded.
HMODULE loadSystemLibrary(const wchar_t* fileName);

// The function `name` of `library`, as the caller's function pointer type; null when missing.
template <typename Function>
Function boundFunction(HMODULE library, const char* name) {
    if (library == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace platform
