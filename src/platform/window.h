// The windowing system as the installer window uses it: one top-level window with child
// controls, both addressed by handle; the few Windows messages the window sends and receives,
// with their Windows numbers; painting, fonts, colours and pictures; and the thread's message
// queue. Windows implements it over USER32, GDI (bound by name) and GDI+; Linux over GTK 3,
// where the same class names, styles and messages are translated into widgets and signals.
// None of these functions checks for a null handle: callers decide what a missing control means.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

using WindowHandle = void*;   // a top-level window or a control
using FontHandle = void*;     // never released
using BrushHandle = void*;    // never released
using ImageHandle = void*;    // a decoded picture, never released
using DeviceContext = void*;  // what WM_CTLCOLORSTATIC hands over

// Receives every message of the windows of a registered class. Messages it does not handle go
// to defaultWindowProcedure.
using WindowProcedure = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t first,
                                     intptr_t second);

// Messages (the Windows numbers).
inline constexpr uint32_t kWmCreate = 0x0001;
inline constexpr uint32_t kWmDestroy = 0x0002;
inline constexpr uint32_t kWmPaint = 0x000F;
inline constexpr uint32_t kWmClose = 0x0010;
inline constexpr uint32_t kWmSetFont = 0x0030;
inline constexpr uint32_t kWmCommand = 0x0111;
inline constexpr uint32_t kWmCtlColorStatic = 0x0138;
inline constexpr uint32_t kBmGetCheck = 0x00F0;
inline constexpr uint32_t kBmSetCheck = 0x00F1;
inline constexpr uint32_t kCbAddString = 0x0143;
inline constexpr uint32_t kCbGetCurSel = 0x0147;
inline constexpr uint32_t kCbGetLbText = 0x0148;
inline constexpr uint32_t kCbGetLbTextLen = 0x0149;
inline constexpr uint32_t kCbSetCurSel = 0x014E;
inline constexpr uint32_t kPbmSetRange = 0x0401;
inline constexpr uint32_t kPbmSetPos = 0x0402;
inline constexpr uint32_t kPbmSetStep = 0x0404;

// Notification codes (high word of WM_COMMAND's first parameter) and other values.
inline constexpr uint32_t kBnClicked = 0;
inline constexpr uint32_t kStnClicked = 0;
inline constexpr uint32_t kCbnSelChange = 1;
inline constexpr intptr_t kBstChecked = 1;
inline constexpr intptr_t kCbErr = -1;

// ShowWindow commands.
inline constexpr int kSwHide = 0;
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShow = 5;

// Styles (the Windows bits) that the Linux build reads to choose and arrange its widgets.
inline constexpr uint32_t kWsVisible = 0x10000000;
inline constexpr uint32_t kBsTypeMask = 0x0000000F;
inline constexpr uint32_t kBsAutoCheckBox = 0x00000003;
inline constexpr uint32_t kSsRight = 0x00000002;
inline constexpr uint32_t kSsNotify = 0x00000100;

inline uint32_t lowWord(uintptr_t value) {
    return static_cast<uint32_t>(value & 0xFFFF);
}
inline uint32_t highWord(uintptr_t value) {
    return static_cast<uint32_t>((value >> 16) & 0xFFFF);
}
inline uintptr_t makeFirstParameter(uint32_t low, uint32_t high) {
    return static_cast<uintptr_t>((low & 0xFFFF) | ((high & 0xFFFF) << 16));
}

// A COLORREF: 0x00BBGGRR.
inline constexpr uint32_t rgb(uint32_t red, uint32_t green, uint32_t blue) {
    return red | (green << 8) | (blue << 16);
}

struct ScreenSize {
    int width = 0;
    int height = 0;
};

// Class style CS_HREDRAW | CS_VREDRAW, the arrow cursor, the system window colour as background,
// icon group `iconResourceId` of the program as large and small icon. False when it failed.
bool registerWindowClass(void* instance, const std::wstring& className, WindowProcedure procedure,
                         uint16_t iconResourceId);

// A hidden top-level window of a registered class at the default position and size, no parent,
// no menu. Its procedure receives WM_CREATE before this returns. Null when it failed (on Linux
// also when no display can be opened).
WindowHandle createTopLevelWindow(void* instance, const std::wstring& className,
                                  const std::wstring& title, uint32_t style);

// A child control of a system class ("Button", "ComboBox", "msctls_progress32", "STATIC").
// Null when it failed.
WindowHandle createControl(void* instance, WindowHandle parent, const std::wstring& className,
                           uint32_t style, int id, int x, int y, int width, int height,
                           const std::wstring& text);

intptr_t defaultWindowProcedure(WindowHandle window, uint32_t message, uintptr_t first,
                                intptr_t second);
intptr_t sendMessage(WindowHandle window, uint32_t message, uintptr_t first, intptr_t second);
bool setWindowText(WindowHandle window, const std::wstring& text);
// True when the window was visible before.
bool showWindow(WindowHandle window, int command);
// Paints what is waiting to be painted, now.
void updateWindow(WindowHandle window);
// The whole client area (no rectangle) is marked for painting.
void invalidateWindow(WindowHandle window, bool erase);
void destroyWindow(WindowHandle window);
// Outer position and size; the z-order is kept.
void setWindowPosition(WindowHandle window, int x, int y, int width, int height);
ScreenSize primaryScreenSize();

// The pointer over every control of `control`'s class becomes the hand.
void setClassCursorToHand(WindowHandle control);

// Fonts: vertical pixels per inch of the window's device context, and a font from the fields
// of a logical-font record (height in pixels, negative for the character height).
int pixelsPerInchY(WindowHandle window);
FontHandle createFont(int height, int weight, const std::wstring& faceName);

// Colours of a static control, inside the handling of WM_CTLCOLORSTATIC.
void setTextColor(DeviceContext context, uint32_t color);
void setTextBackgroundColor(DeviceContext context, uint32_t color);
BrushHandle createSolidBrush(uint32_t color);

// Pictures: the library is started once (never shut down); a picture is decoded from bytes.
void startImageLibrary();
ImageHandle imageFromBytes(const void* data, size_t size);

// Painting a window, from its WM_PAINT handling until the object ends.
class PaintSession {
  public:
    explicit PaintSession(WindowHandle window);
    ~PaintSession();
    PaintSession(const PaintSession&) = delete;
    PaintSession& operator=(const PaintSession&) = delete;

    // The picture scaled into the rectangle.
    void drawImage(ImageHandle image, int x, int y, int width, int height);
    // A line with the default pen (black, one pixel) from the first point up to, and not
    // including, the second.
    void drawLine(int fromX, int fromY, int toX, int toY);

  private:
    struct State;
    State* state_;
};

// The thread's message queue.
// Runs until postQuitMessage; returns its code.
int runMessageLoop();
void postQuitMessage(int exitCode);
// Dispatches every message waiting for this thread and returns when none is left.
void pumpMessages();
// Returns when a message arrives for this thread or after `milliseconds`, whichever is first;
// dispatches nothing itself.
void waitForMessages(int milliseconds);

}  // namespace platform
