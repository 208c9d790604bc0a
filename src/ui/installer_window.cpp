// The installer window. Not built yet: no window can be created.
#include "ui/installer_window.h"

#include "core/exit_codes.h"

void registerInstallerWindowClass(void*) {}

bool createInstallerWindow(void*, int) {
    return false;
}

int runMessageLoop() {
    return kExitDone;
}
