// The operating system's version, as far as the installation depends on it.
#pragma once

namespace platform {

// True on Windows 10.0 or later (the manifest declares Windows 10, else Windows reports an
// older version). The Linux build answers false: it runs no Windows driver installers.
bool isWindows10OrLater();

}  // namespace platform
