// The installer window: its class, its creation, its window procedure and the message loop
// that serves it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window.h"

// Registers the window class named by the session's windowClassName.
void registerInstallerWindowClass(void* instance);

// Makes the window and its ten controls, shows it and paints the first welcome page. False
// when the window could not be created.
bool createInstallerWindow(void* instance, int showCommand);

// Runs until the window asks to quit; returns the exit code it asked for.
int runMessageLoop();

intptr_t installerWindowProc(platform::WindowHandle window, uint32_t message, uintptr_t first,
                             intptr_t second);

// Where a window of the given outer size sits centred on a screen (may be negative).
struct WindowOrigin {
    int x = 0;
    int y = 0;
};
WindowOrigin centredWindowOrigin(int screenWidth, int screenHeight, int width, int height);

// The height of a logical font of `points` at `pixelsPerInch`: negative, for the character
// height, rounded as MulDiv rounds.
int uiFontHeight(int points, int pixelsPerInch);

// The language list: display names in the catalogue's order and the index to select (the last
// name whose language is `currentLanguage`, else 0).
struct LanguageList {
    std::vector<std::wstring> names;
    int selected = 0;
};
LanguageList languageList();
