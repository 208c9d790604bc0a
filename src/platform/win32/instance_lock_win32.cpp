// Single-instance guard on Windows: a named mutex, owned and kept open until the process ends.

#include <windows.h>

#include "platform/instance_lock.h"

namespace platform {

InstanceLock takeSingleInstanceLock(const std::wstring& name) {
    HANDLE mutex = CreateMutexW(nullptr, TRUE, name.c_str());
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        return InstanceLock::HeldByAnother;
    }
    if (mutex == nullptr) {
        return InstanceLock::Failed;
    }
    // Deliberately never closed: the system releases it with the process.
    return InstanceLock::Taken;
}

std::wstring singleInstanceLockLocation(const std::wstring& name) {
    return name;
}

}  // namespace platform
