// The folder that stands for the Windows drive in the Linux build: HELMSIGHT_SYSROOT, else /.
#pragma once

#include <string>

namespace platform {

// Without a trailing separator; empty for the real root.
std::wstring sysroot();

}  // namespace platform
