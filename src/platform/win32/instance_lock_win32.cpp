// Single-instance guard on Windows: a named mutex, owned and kept open until the process ends.

#include <windows.h>

#include "platform/instance_lock.h"

namespace platform {

bool takeSingleInstanceLock(const std::wstring& name) {
    HANDLE mutex = CreateMutexW(nullptr, TRUE, name.c_str());
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        return false;
    }
    (void)mutex;  // deliberately never closed: the system releases it with the process
    return true;
}

}  // namespace platform
