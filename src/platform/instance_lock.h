// The single-instance guard: one lock per program file name, held until the process ends.
#pragma once

#include <string>

namespace platform {

// Takes the lock named `name` and keeps it for the life of the process. False when another
// process holds it already (Windows: a named mutex; Linux: a lock file in the temp folder).
bool takeSingleInstanceLock(const std::wstring& name);

}  // namespace platform
