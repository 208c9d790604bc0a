// The marker that an older hardware-abstraction driver package left on the machine.
#pragma once

#include <string>

namespace platform {

// True when the key `path` below HKEY_CLASSES_ROOT can be opened. The Linux build has no
// such keys and answers false.
bool classesRootKeyExists(const std::wstring& path);

}  // namespace platform
