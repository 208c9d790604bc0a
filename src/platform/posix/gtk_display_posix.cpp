// Opening the GTK display once, on the UI thread.
#include <gtk/gtk.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/posix/gtk_display.h"

namespace platform::posix {

bool onUiThread() {
    return static_cast<pid_t>(syscall(SYS_gettid)) == getpid();
}

bool displayNamed() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

bool ensureGtk() {
    static int state = -1;  // -1 not tried, 0 failed, 1 open
    if (state < 0) {
        state = displayNamed() && gtk_init_check(nullptr, nullptr) ? 1 : 0;
    }
    return state == 1;
}

}  // namespace platform::posix
