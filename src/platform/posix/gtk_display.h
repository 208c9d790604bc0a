// GTK on Linux: one display opened on the process's first thread, which is the UI thread.
#pragma once

namespace platform::posix {

// True on the process's first thread.
bool onUiThread();

// True when a display is named in the environment (DISPLAY or WAYLAND_DISPLAY); says nothing
// about whether it can be opened.
bool displayNamed();

// Opens the display once (UI thread only); true when GTK can be used.
bool ensureGtk();

}  // namespace platform::posix
