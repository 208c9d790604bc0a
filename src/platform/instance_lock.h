// The single-instance guard: one lock per program file name, held until the process ends.
#pragma once

#include <string>

namespace platform {

enum class InstanceLock { Taken, HeldByAnother, Failed };

// Takes the lock named `name` and keeps it for the life of the process (Windows: a named
// mutex; Linux: a lock file, below <sysroot>/run/helmsight for root, else in the temp folder).
// Failed when the lock can be neither taken nor found held, for instance because its file
// or folder was prepared by someone else.
InstanceLock takeSingleInstanceLock(const std::wstring& name);

// Where the lock named `name` lives, for messages: the lock file's path, or the mutex name.
std::wstring singleInstanceLockLocation(const std::wstring& name);

}  // namespace platform
