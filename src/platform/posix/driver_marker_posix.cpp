// No HKEY_CLASSES_ROOT on Linux, so no driver package marker.
#include "platform/driver_marker.h"

namespace platform {

bool classesRootKeyExists(const std::wstring&) {
    return false;
}

}  // namespace platform
