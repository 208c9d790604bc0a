// The installer window: its class, its creation and the message loop that serves it.
#pragma once

// Registers the window class named by the session's windowClassName.
void registerInstallerWindowClass(void* instance);

// False when the window could not be created.
bool createInstallerWindow(void* instance, int showCommand);

// Runs until the window asks to quit; returns the exit code it asked for.
int runMessageLoop();
