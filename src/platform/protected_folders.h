// The folders of the system and of the user that no uninstallation may delete.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Whether the file system compares names without regard to case (Windows) or not (Linux).
#ifdef _WIN32
inline constexpr bool kFileNamesIgnoreCase = true;
#else
inline constexpr bool kFileNamesIgnoreCase = false;
#endif

// Well-known folders: the program folders, the system's own folders, the shared data folder,
// the user's profile, desktop and Start menu (Linux: the sysroot's and the file system's
// top folders, the applications folder, the home and desktop folders). Full paths; folders
// the system does not name are left out.
std::vector<std::wstring> wellKnownFolders();

}  // namespace platform
