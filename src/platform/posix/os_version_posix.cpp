// The Linux build is never Windows 10: no Windows driver installers run.
#include "platform/os_version.h"

namespace platform {

bool isWindows10OrLater() {
    return false;
}

}  // namespace platform
