// Elevation and relaunch. Not built yet: this process carries on as it was started and
// counts as an administrator.
#include "core/elevation.h"

void relaunchElevatedFromTemp(const std::wstring&) {}

bool isAdministrator() {
    return true;
}
