// Folders on Linux: the Windows locations mapped below a sysroot (HELMSIGHT_SYSROOT, else /).
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "platform/folders.h"
#include "platform/posix/sysroot.h"
#include "platform/text.h"

namespace platform {

std::wstring sysroot() {
    const char* value = std::getenv("HELMSIGHT_SYSROOT");
    std::string root = value != nullptr ? value : "";
    while (!root.empty() && root.back() == '/') {
        root.pop_back();
    }
    return utf8ToWide(root);
}

std::wstring programFilesX86Folder() {
    return sysroot() + L"/opt";
}

std::wstring systemFolder() {
    return sysroot() + L"/usr/lib";
}

std::wstring ownModulePath() {
    char buffer[PATH_MAX] = {};
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return length > 0 ? utf8ToWide(std::string(buffer, static_cast<size_t>(length))) : L"";
}

}  // namespace platform
