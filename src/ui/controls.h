// The installer window's state and the control operations every page works through. Without a
// window (console mode) every handle is null and every operation does nothing and yields 0, so
// the page code and the action sequence run unchanged in both modes.
#pragma once

#include <cstdint>
#include <string>

#include "platform/window.h"

struct InstallerWindowState {
    void* instance = nullptr;
    platform::WindowHandle window = nullptr;
    platform::WindowHandle actionButton = nullptr;
    platform::WindowHandle cancelButton = nullptr;
    platform::WindowHandle launchCheckBox = nullptr;
    platform::WindowHandle languageComboBox = nullptr;
    platform::WindowHandle progressBar = nullptr;
    platform::WindowHandle releaseNotesLink = nullptr;
    platform::WindowHandle messageText = nullptr;
    platform::WindowHandle languageLabel = nullptr;
    platform::WindowHandle productVersionText = nullptr;
    platform::WindowHandle setupVersionText = nullptr;
    platform::FontHandle largeFont = nullptr;
    platform::FontHandle smallFont = nullptr;
    platform::BrushHandle staticBackgroundBrush = nullptr;
    platform::ImageHandle logoImage = nullptr;
};

// The one window of the process; only the UI thread touches it.
InstallerWindowState& installerWindow();

intptr_t setControlText(platform::WindowHandle control, const std::wstring& text);
intptr_t showControl(platform::WindowHandle control, int command);
intptr_t sendControlMessage(platform::WindowHandle control, uint32_t message, uintptr_t first,
                            intptr_t second);
// Marks the whole client area for painting.
intptr_t invalidateWindow(platform::WindowHandle window, bool erase);
