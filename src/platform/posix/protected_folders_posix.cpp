// The folders of a Linux system that an uninstallation must never delete: the file system's
// top folders, the sysroot's program, system and applications folders, home and desktop.
#include <cstdlib>

#include "platform/folders.h"
#include "platform/posix/sysroot.h"
#include "platform/protected_folders.h"
#include "platform/shortcuts.h"
#include "platform/text.h"

namespace platform {

std::vector<std::wstring> wellKnownFolders() {
    std::vector<std::wstring> folders = {
        L"/",        L"/bin",       L"/boot",      L"/dev",  L"/etc",  L"/home",
        L"/lib",     L"/lib64",     L"/opt",       L"/proc", L"/root", L"/run",
        L"/sbin",    L"/srv",       L"/sys",       L"/tmp",  L"/usr",  L"/usr/bin",
        L"/usr/lib", L"/usr/local", L"/usr/share", L"/var",
    };
    const std::wstring root = sysroot();
    if (!root.empty()) {
        folders.push_back(root);
        for (const wchar_t* below : {L"/opt", L"/usr", L"/usr/share"}) {
            folders.push_back(root + below);
        }
    }
    folders.push_back(programFilesX86Folder());
    folders.push_back(systemFolder());
    folders.push_back(commonProgramsFolder());
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        folders.push_back(utf8ToWide(home));
    }
    const std::wstring desktop = desktopFolder();
    if (!desktop.empty()) {
        folders.push_back(desktop);
    }
    return folders;
}

}  // namespace platform
