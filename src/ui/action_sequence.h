// The action sequence: carries out PendingAction (install, uninstall, reinstall, rollback,
// finish, quit), runs the workers on threads of their own and follows their progress on the UI
// thread, which keeps dispatching window messages all the while. Shared by the window's action
// button and console mode (no window).
#pragma once

#include "platform/window.h"

// Returns after Install, Reinstall, Uninstall and Rollback; ends the process for Finish (0)
// and Quit (1).
void runPendingAction(platform::WindowHandle window);

// The working pages; only runPendingAction calls them.
void runInstallPage(platform::WindowHandle window);
void runUninstallPage(platform::WindowHandle window);

// Dispatches every message waiting for this thread; never waits.
void pumpMessages();
// Returns after at least `milliseconds`, dispatching messages all the while. It sleeps until a
// message arrives or the time is up, so waiting costs no processor time.
void waitPumping(int milliseconds);

// Creates the installation folder with its parents; ends the process after a message when
// that fails.
void ensureInstallFolder();
// Puts the setup program into the installation folder, where the uninstall entry expects it.
void copySetupToInstallFolder();
// Starts the installed application (the alternate file name when the first is missing).
void launchApplication();
