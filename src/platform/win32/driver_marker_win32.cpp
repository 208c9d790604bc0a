// The driver package marker: a key below HKEY_CLASSES_ROOT.
#include <windows.h>

#include "platform/driver_marker.h"

namespace platform {

bool classesRootKeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyW(HKEY_CLASSES_ROOT, path.c_str(), &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

}  // namespace platform
