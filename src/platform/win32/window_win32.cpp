// The installer window on Windows: USER32 windows and controls, GDI functions bound by name
// from the System folder's gdi32.dll, GDI+ (its flat functions, bound the same way from
// gdiplus.dll) for the logo picture.

#include <windows.h>

#include <commctrl.h>
#include <objidl.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <cstring>

#include "platform/win32/system_library.h"
#include "platform/window.h"

namespace platform {
namespace {

using CreateFontIndirectWFn = HFONT(WINAPI*)(const LOGFONTW*);
using GetDeviceCapsFn = int(WINAPI*)(HDC, int);
using CreateSolidBrushFn = HBRUSH(WINAPI*)(COLORREF);
using MoveToExFn = BOOL(WINAPI*)(HDC, int, int, LPPOINT);
using LineToFn = BOOL(WINAPI*)(HDC, int, int);
using SetTextColorFn = COLORREF(WINAPI*)(HDC, COLORREF);
using SetBkColorFn = COLORREF(WINAPI*)(HDC, COLORREF);

// The GDI functions the window uses, resolved by name before the entry point runs.
struct GdiFunctions {
    CreateFontIndirectWFn createFontIndirectW = nullptr;
    GetDeviceCapsFn getDeviceCaps = nullptr;
    CreateSolidBrushFn createSolidBrush = nullptr;
    MoveToExFn moveToEx = nullptr;
    LineToFn lineTo = nullptr;
    SetTextColorFn setTextColor = nullptr;
    SetBkColorFn setBkColor = nullptr;
};

template <typename Fn>
void bindEntry(HMODULE library, const char* name, Fn& entry) {
    entry = boundFunction<Fn>(library, name);
}

GdiFunctions bindGdiFunctions() {
    GdiFunctions gdi;
    HMODULE library = loadSystemLibrary(L"gdi32.dll");
    if (library == nullptr) {
        return gdi;
    }
    bindEntry(library, "CreateFontIndirectW", gdi.createFontIndirectW);
    bindEntry(library, "GetDeviceCaps", gdi.getDeviceCaps);
    bindEntry(library, "CreateSolidBrush", gdi.createSolidBrush);
    bindEntry(library, "MoveToEx", gdi.moveToEx);
    bindEntry(library, "LineTo", gdi.lineTo);
    bindEntry(library, "SetTextColor", gdi.setTextColor);
    bindEntry(library, "SetBkColor", gdi.setBkColor);
    return gdi;
}

const GdiFunctions gdi = bindGdiFunctions();

// GDI+ is not a Known DLL everywhere: a static import could be satisfied from the program's
// own folder before any of the program's code runs. Bound by name from the System folder.
struct GdiPlusFunctions {
    decltype(&Gdiplus::GdiplusStartup) startup = nullptr;
    decltype(&Gdiplus::DllExports::GdipLoadImageFromStream) loadImageFromStream = nullptr;
    decltype(&Gdiplus::DllExports::GdipDisposeImage) disposeImage = nullptr;
    decltype(&Gdiplus::DllExports::GdipCreateFromHDC) createFromHdc = nullptr;
    decltype(&Gdiplus::DllExports::GdipDeleteGraphics) deleteGraphics = nullptr;
    decltype(&Gdiplus::DllExports::GdipDrawImageRectI) drawImageRect = nullptr;
};

const GdiPlusFunctions& gdiPlus() {
    static const GdiPlusFunctions functions = [] {
        GdiPlusFunctions bound;
        HMODULE library = loadSystemLibrary(L"gdiplus.dll");
        if (library == nullptr) {
            return bound;
        }
        bindEntry(library, "GdiplusStartup", bound.startup);
        bindEntry(library, "GdipLoadImageFromStream", bound.loadImageFromStream);
        bindEntry(library, "GdipDisposeImage", bound.disposeImage);
        bindEntry(library, "GdipCreateFromHDC", bound.createFromHdc);
        bindEntry(library, "GdipDeleteGraphics", bound.deleteGraphics);
        bindEntry(library, "GdipDrawImageRectI", bound.drawImageRect);
        return bound;
    }();
    return functions;
}

// One window class is registered; its procedure is the Part's.
WindowProcedure classProcedure = nullptr;

LRESULT CALLBACK windowProcedureEntry(HWND window, UINT message, WPARAM first, LPARAM second) {
    if (classProcedure == nullptr) {
        return DefWindowProcW(window, message, first, second);
    }
    return classProcedure(window, message, first, second);
}

HWND asWindow(WindowHandle handle) {
    return static_cast<HWND>(handle);
}

}  // namespace

bool registerWindowClass(void* instance, const std::wstring& className, WindowProcedure procedure,
                         uint16_t iconResourceId) {
    classProcedure = procedure;
    const HINSTANCE module = static_cast<HINSTANCE>(instance);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProcedureEntry;
    windowClass.hInstance = module;
    windowClass.hIcon = LoadIconW(module, MAKEINTRESOURCEW(iconResourceId));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(iconResourceId),
                                                        IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = className.c_str();
    return RegisterClassExW(&windowClass) != 0;
}

WindowHandle createTopLevelWindow(void* instance, const std::wstring& className,
                                  const std::wstring& title, uint32_t style) {
    // Make sure the progress bar's class exists in this process before the controls are made.
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
    return CreateWindowExW(0, className.c_str(), title.c_str(), style, CW_USEDEFAULT, 0,
                           CW_USEDEFAULT, 0, nullptr, nullptr, static_cast<HINSTANCE>(instance),
                           nullptr);
}

WindowHandle createControl(void* instance, WindowHandle parent, const std::wstring& className,
                           uint32_t style, int id, int x, int y, int width, int height,
                           const std::wstring& text) {
    return CreateWindowExW(0, className.c_str(), text.c_str(), style, x, y, width, height,
                           asWindow(parent), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           static_cast<HINSTANCE>(instance), nullptr);
}

intptr_t defaultWindowProcedure(WindowHandle window, uint32_t message, uintptr_t first,
                                intptr_t second) {
    return DefWindowProcW(asWindow(window), message, first, second);
}

intptr_t sendMessage(WindowHandle window, uint32_t message, uintptr_t first, intptr_t second) {
    return SendMessageW(asWindow(window), message, first, second);
}

bool setWindowText(WindowHandle window, const std::wstring& text) {
    return SetWindowTextW(asWindow(window), text.c_str()) != FALSE;
}

bool showWindow(WindowHandle window, int command) {
    return ShowWindow(asWindow(window), command) != FALSE;
}

void updateWindow(WindowHandle window) {
    UpdateWindow(asWindow(window));
}

void invalidateWindow(WindowHandle window, bool erase) {
    InvalidateRect(asWindow(window), nullptr, erase ? TRUE : FALSE);
}

void destroyWindow(WindowHandle window) {
    DestroyWindow(asWindow(window));
}

void setWindowPosition(WindowHandle window, int x, int y, int width, int height) {
    SetWindowPos(asWindow(window), nullptr, x, y, width, height, SWP_NOZORDER);
}

ScreenSize primaryScreenSize() {
    return ScreenSize{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void setClassCursorToHand(WindowHandle control) {
    SetClassLongPtrW(asWindow(control), GCLP_HCURSOR,
                     reinterpret_cast<LONG_PTR>(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649))));
}

int pixelsPerInchY(WindowHandle window) {
    HDC context = GetDC(asWindow(window));
    const int pixels = gdi.getDeviceCaps != nullptr ? gdi.getDeviceCaps(context, LOGPIXELSY) : 96;
    ReleaseDC(asWindow(window), context);
    return pixels;
}

FontHandle createFont(int height, int weight, const std::wstring& faceName) {
    if (gdi.createFontIndirectW == nullptr) {
        return nullptr;
    }
    LOGFONTW font;
    std::memset(&font, 0, sizeof font);
    font.lfHeight = height;
    font.lfWeight = weight;
    faceName.copy(font.lfFaceName, LF_FACESIZE - 1);
    return gdi.createFontIndirectW(&font);
}

void setTextColor(DeviceContext context, uint32_t color) {
    if (gdi.setTextColor != nullptr) {
        gdi.setTextColor(static_cast<HDC>(context), color);
    }
}

void setTextBackgroundColor(DeviceContext context, uint32_t color) {
    if (gdi.setBkColor != nullptr) {
        gdi.setBkColor(static_cast<HDC>(context), color);
    }
}

BrushHandle createSolidBrush(uint32_t color) {
    return gdi.createSolidBrush != nullptr ? gdi.createSolidBrush(color) : nullptr;
}

void startImageLibrary() {
    if (gdiPlus().startup == nullptr) {
        return;
    }
    Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, nothing suppressed
    ULONG_PTR token = 0;
    gdiPlus().startup(&token, &input, nullptr);
}

ImageHandle imageFromBytes(const void* data, size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, size);
    if (block == nullptr) {
        return nullptr;
    }
    std::memcpy(reinterpret_cast<void*>(block), data, size);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
        GlobalFree(block);
        return nullptr;
    }
    Gdiplus::GpImage* image = nullptr;
    const bool loaded = gdiPlus().loadImageFromStream != nullptr &&
                        gdiPlus().loadImageFromStream(stream, &image) == Gdiplus::Ok;
    stream->Release();  // the picture keeps its own reference
    if (!loaded && image != nullptr && gdiPlus().disposeImage != nullptr) {
        gdiPlus().disposeImage(image);
    }
    return loaded ? image : nullptr;
}

struct PaintSession::State {
    HWND window = nullptr;
    PAINTSTRUCT paint{};
    HDC context = nullptr;
    Gdiplus::GpGraphics* graphics = nullptr;
};

PaintSession::PaintSession(WindowHandle window) : state_(new State) {
    state_->window = asWindow(window);
    state_->context = BeginPaint(state_->window, &state_->paint);
    if (gdiPlus().createFromHdc != nullptr) {
        gdiPlus().createFromHdc(state_->context, &state_->graphics);
    }
}

PaintSession::~PaintSession() {
    if (state_->graphics != nullptr && gdiPlus().deleteGraphics != nullptr) {
        gdiPlus().deleteGraphics(state_->graphics);
    }
    EndPaint(state_->window, &state_->paint);
    delete state_;
}

void PaintSession::drawImage(ImageHandle image, int x, int y, int width, int height) {
    if (state_->graphics == nullptr || image == nullptr || gdiPlus().drawImageRect == nullptr) {
        return;
    }
    gdiPlus().drawImageRect(state_->graphics, static_cast<Gdiplus::GpImage*>(image), x, y, width,
                            height);
}

void PaintSession::drawLine(int fromX, int fromY, int toX, int toY) {
    if (gdi.moveToEx == nullptr || gdi.lineTo == nullptr) {
        return;
    }
    gdi.moveToEx(state_->context, fromX, fromY, nullptr);
    gdi.lineTo(state_->context, toX, toY);
}

int runMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

void postQuitMessage(int exitCode) {
    PostQuitMessage(exitCode);
}

void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void waitForMessages(int milliseconds) {
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(milliseconds < 0 ? 0 : milliseconds),
                                QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

}  // namespace platform
