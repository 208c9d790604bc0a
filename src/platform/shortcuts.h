// Shortcuts to the application: shell links (.lnk) on Windows, freedesktop entries
// (.desktop) on Linux, with a target program, a working folder and an icon.
#pragma once

#include <string>
#include <vector>

namespace platform {

#ifdef _WIN32
inline constexpr wchar_t kShortcutExtension[] = L".lnk";
#else
inline constexpr wchar_t kShortcutExtension[] = L".desktop";
#endif

// The current user's desktop (Linux: $XDG_DESKTOP_DIR, else $HOME/Desktop) and the program
// list shared by all users (Linux: <sysroot>/usr/share/applications). Without a trailing
// separator; empty when the system names no such folder.
std::wstring desktopFolder();
std::wstring commonProgramsFolder();

struct ShortcutProperties {
    std::wstring target;
    std::wstring workingFolder;
    std::wstring iconPath;
    int iconIndex = 0;
};

// Makes one shortcut and saves it under each of `linkPaths`, overwriting shortcuts of the
// same name; folders are not created. False when no shortcut object could be made; a single
// save that fails leaves only that file missing.
bool saveShortcut(const ShortcutProperties& properties, const std::vector<std::wstring>& linkPaths);

// Reads a shortcut back. False when there is none or it cannot be read.
bool readShortcut(const std::wstring& linkPath, ShortcutProperties& properties);

}  // namespace platform
