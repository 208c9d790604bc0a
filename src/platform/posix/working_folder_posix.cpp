// The process's current folder on Linux.
#include <unistd.h>

#include <climits>

#include "platform/text.h"
#include "platform/working_folder.h"

namespace platform {

bool setCurrentFolder(const std::wstring& folder) {
    return chdir(wideToUtf8(folder).c_str()) == 0;
}

std::wstring currentFolder() {
    char buffer[PATH_MAX] = {};
    return getcwd(buffer, sizeof buffer) != nullptr ? utf8ToWide(buffer) : std::wstring();
}

}  // namespace platform
