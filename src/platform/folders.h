// Folders the program needs from the operating system. Folder texts returned here carry no
// trailing separator; callers append kPathSeparator themselves, as they do on Windows.
#pragma once

#include <string>

namespace platform {

#ifdef _WIN32
inline constexpr wchar_t kPathSeparator = L'\\';
#else
inline constexpr wchar_t kPathSeparator = L'/';
#endif

// The 32-bit program folder (Program Files (x86); <sysroot>/opt on Linux).
std::wstring programFilesX86Folder();
// The System folder (System32 or SysWOW64 as the 32-bit view sees it; <sysroot>/usr/lib).
std::wstring systemFolder();
// The running program's own full file path.
std::wstring ownModulePath();

}  // namespace platform
