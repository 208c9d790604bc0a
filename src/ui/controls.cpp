// The installer window's state and the null-safe control operations.
#include "ui/controls.h"

namespace {
InstallerWindowState theWindow;
}

InstallerWindowState& installerWindow() {
    return theWindow;
}

intptr_t setControlText(platform::WindowHandle control, const std::wstring& text) {
    if (control == nullptr) {
        return 0;
    }
    return platform::setWindowText(control, text) ? 1 : 0;
}

intptr_t showControl(platform::WindowHandle control, int command) {
    if (control == nullptr) {
        return 0;
    }
    return platform::showWindow(control, command) ? 1 : 0;
}

intptr_t sendControlMessage(platform::WindowHandle control, uint32_t message, uintptr_t first,
                            intptr_t second) {
    if (control == nullptr) {
        return 0;
    }
    return platform::sendMessage(control, message, first, second);
}

intptr_t invalidateWindow(platform::WindowHandle window, bool erase) {
    if (window == nullptr) {
        return 0;
    }
    platform::invalidateWindow(window, erase);
    return 1;
}
