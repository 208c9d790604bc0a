// The installer window on Linux, over GTK 3. The window is a fixed-size GtkWindow holding a
// GtkLayout (whose size, unlike a GtkFixed's, does not follow its children); each control sits in
// an event box at its pixel position (the box carries the class cursor and the click of a notifying
// static text). The Windows class names, styles and messages that the window code uses are
// translated here: button clicks, list selections and link clicks reach the window procedure as
// WM_COMMAND, the window's drawing as WM_PAINT, the close box as WM_CLOSE, and static texts ask
// WM_CTLCOLORSTATIC for their colour once.
#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "platform/posix/gtk_display.h"
#include "platform/posix/linked_resources.h"
#include "platform/resources.h"
#include "platform/text.h"
#include "platform/window.h"

namespace platform {
namespace {

enum class Kind { TopLevel, PushButton, CheckBox, ComboBox, ProgressBar, Static };

struct Widget {
    Kind kind = Kind::Static;
    std::wstring className;      // lower case
    GtkWidget* outer = nullptr;  // the GtkWindow, or the control's event box
    GtkWidget* inner = nullptr;  // the GtkLayout, or the control itself
    Widget* parent = nullptr;
    WindowProcedure procedure = nullptr;  // top level only
    int id = 0;
    uint32_t style = 0;
    int x = 0;
    int y = 0;
    GtkCssProvider* fontCss = nullptr;
    GtkCssProvider* colourCss = nullptr;
    std::vector<std::wstring> items;  // combo box entries
    int rangeLow = 0;
    int rangeHigh = 100;
    int position = 0;
};

struct FontSpec {
    int height = 0;
    int weight = 400;
    std::string face;
};

// What the window procedure chose while handling WM_CTLCOLORSTATIC.
struct ColourRequest {
    uint32_t text = 0;
    uint32_t background = 0xFFFFFF;
};

struct ClassInfo {
    WindowProcedure procedure = nullptr;
    uint16_t iconResourceId = 0;
};

std::vector<std::pair<std::wstring, ClassInfo>> registeredClasses;
std::set<std::wstring> handCursorClasses;
std::vector<Widget*> allWidgets;
cairo_t* currentPaint = nullptr;  // the context of the drawing in progress, if any
int notificationsSuppressed = 0;  // programmatic changes send no notifications, as on Windows
bool quitPosted = false;
int quitCode = 0;

std::wstring lowerCase(std::wstring text) {
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    return text;
}

Widget* asWidget(WindowHandle handle) {
    return static_cast<Widget*>(handle);
}

const ClassInfo* findClass(const std::wstring& className) {
    const std::wstring key = lowerCase(className);
    for (const auto& entry : registeredClasses) {
        if (entry.first == key) {
            return &entry.second;
        }
    }
    return nullptr;
}

intptr_t callProcedure(Widget* top, uint32_t message, uintptr_t first, intptr_t second) {
    if (top == nullptr || top->procedure == nullptr) {
        return 0;
    }
    return top->procedure(top, message, first, second);
}

std::string cssColour(uint32_t colorref) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colorref & 0xFF, (colorref >> 8) & 0xFF,
                  (colorref >> 16) & 0xFF);
    return text;
}

void replaceCss(GtkWidget* widget, GtkCssProvider*& provider, const std::string& css) {
    GtkStyleContext* context = gtk_widget_get_style_context(widget);
    if (provider != nullptr) {
        gtk_style_context_remove_provider(context, GTK_STYLE_PROVIDER(provider));
        g_object_unref(provider);
        provider = nullptr;
    }
    if (css.empty()) {
        return;
    }
    provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, css.c_str(), -1, nullptr);
    gtk_style_context_add_provider(context, GTK_STYLE_PROVIDER(provider),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION + 1);
}

void applyClassCursor(Widget* widget) {
    if (widget->kind == Kind::TopLevel || handCursorClasses.count(widget->className) == 0) {
        return;
    }
    GdkWindow* window = gtk_widget_get_window(widget->outer);
    if (window == nullptr || !gtk_widget_get_realized(widget->outer)) {
        return;
    }
    GdkCursor* hand = gdk_cursor_new_from_name(gdk_window_get_display(window), "pointer");
    if (hand == nullptr) {
        hand = gdk_cursor_new_for_display(gdk_window_get_display(window), GDK_HAND2);
    }
    gdk_window_set_cursor(window, hand);
    if (hand != nullptr) {
        g_object_unref(hand);
    }
}

// Static texts and the check box ask the window for their colours when they first appear.
void askColour(Widget* widget) {
    ColourRequest request;
    callProcedure(widget->parent, kWmCtlColorStatic, reinterpret_cast<uintptr_t>(&request),
                  reinterpret_cast<intptr_t>(widget));
    replaceCss(widget->inner, widget->colourCss, "* { color: " + cssColour(request.text) + "; }");
}

void onControlRealize(GtkWidget*, gpointer data) {
    Widget* widget = static_cast<Widget*>(data);
    applyClassCursor(widget);
    if (widget->kind == Kind::Static || widget->kind == Kind::CheckBox) {
        askColour(widget);
    }
}

void onButtonClicked(GtkButton*, gpointer data) {
    Widget* widget = static_cast<Widget*>(data);
    if (notificationsSuppressed > 0) {
        return;
    }
    callProcedure(widget->parent, kWmCommand,
                  makeFirstParameter(static_cast<uint32_t>(widget->id), kBnClicked),
                  reinterpret_cast<intptr_t>(widget));
}

void onComboChanged(GtkComboBox*, gpointer data) {
    Widget* widget = static_cast<Widget*>(data);
    if (notificationsSuppressed > 0) {
        return;
    }
    callProcedure(widget->parent, kWmCommand,
                  makeFirstParameter(static_cast<uint32_t>(widget->id), kCbnSelChange),
                  reinterpret_cast<intptr_t>(widget));
}

gboolean onStaticPressed(GtkWidget*, GdkEventButton* event, gpointer data) {
    Widget* widget = static_cast<Widget*>(data);
    if (event->type != GDK_BUTTON_PRESS || event->button != 1) {
        return FALSE;
    }
    callProcedure(widget->parent, kWmCommand,
                  makeFirstParameter(static_cast<uint32_t>(widget->id), kStnClicked),
                  reinterpret_cast<intptr_t>(widget));
    return TRUE;
}

gboolean onDraw(GtkWidget*, cairo_t* cr, gpointer data) {
    Widget* top = static_cast<Widget*>(data);
    // The class background: the system window colour.
    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_paint(cr);
    cairo_t* outerPaint = currentPaint;
    currentPaint = cr;
    callProcedure(top, kWmPaint, 0, 0);
    currentPaint = outerPaint;
    return FALSE;
}

gboolean onDeleteEvent(GtkWidget*, GdkEvent*, gpointer data) {
    callProcedure(static_cast<Widget*>(data), kWmClose, 0, 0);
    return TRUE;  // the procedure destroys the window itself when it wants to
}

void onDestroy(GtkWidget*, gpointer data) {
    callProcedure(static_cast<Widget*>(data), kWmDestroy, 0, 0);
}

// Looks shared by every window of the process: white background, controls at their Windows
// sizes.
void installStyleSheet() {
    static bool installed = false;
    if (installed) {
        return;
    }
    installed = true;
    GtkCssProvider* provider = gtk_css_provider_new();
    const char* css =
        "window.helmsight-window { background-color: #ffffff; }\n"
        "button.helmsight-button { padding: 0px 4px; min-height: 0px; }\n"
        "progressbar.helmsight-progress trough,\n"
        "progressbar.helmsight-progress progress { min-height: 21px; }\n";
    gtk_css_provider_load_from_data(provider, css, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(),
                                              GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

GdkPixbuf* pixbufFromBytes(const void* data, size_t size) {
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
    GdkPixbuf* pixbuf = nullptr;
    const bool written =
        gdk_pixbuf_loader_write(loader, static_cast<const guchar*>(data), size, nullptr);
    if (gdk_pixbuf_loader_close(loader, nullptr) && written) {
        pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
        if (pixbuf != nullptr) {
            g_object_ref(pixbuf);
        }
    }
    g_object_unref(loader);
    return pixbuf;
}

void setWindowIcon(GtkWidget* window, uint16_t iconResourceId) {
    constexpr uint16_t kIconType = 3;
    ResourceInfo info = findResource(kIconType, iconResourceId);
    if (info == nullptr) {
        return;
    }
    ResourceData data = loadResource(info);
    const void* bytes = lockResource(data);
    if (bytes != nullptr) {
        GdkPixbuf* icon = pixbufFromBytes(bytes, sizeofResource(info));
        if (icon != nullptr) {
            gtk_window_set_icon(GTK_WINDOW(window), icon);
            g_object_unref(icon);
        }
    }
    freeResource(data);
}

Kind kindOf(const std::wstring& className, uint32_t style) {
    if (className == L"button") {
        return (style & kBsTypeMask) == kBsAutoCheckBox ? Kind::CheckBox : Kind::PushButton;
    }
    if (className == L"combobox") {
        return Kind::ComboBox;
    }
    if (className == L"msctls_progress32") {
        return Kind::ProgressBar;
    }
    return Kind::Static;
}

gboolean markFired(gpointer data) {
    *static_cast<bool*>(data) = true;
    return G_SOURCE_REMOVE;
}

}  // namespace

bool registerWindowClass(void*, const std::wstring& className, WindowProcedure procedure,
                         uint16_t iconResourceId) {
    const std::wstring key = lowerCase(className);
    for (auto& entry : registeredClasses) {
        if (entry.first == key) {
            return false;  // already registered, as RegisterClassExW reports
        }
    }
    registeredClasses.emplace_back(key, ClassInfo{procedure, iconResourceId});
    return true;
}

WindowHandle createTopLevelWindow(void*, const std::wstring& className, const std::wstring& title,
                                  uint32_t) {
    const ClassInfo* windowClass = findClass(className);
    if (windowClass == nullptr) {
        return nullptr;
    }
    if (!posix::ensureGtk()) {
        std::fprintf(stderr, "%s: cannot open a display for the window\n",
                     wideToUtf8(title).c_str());
        return nullptr;
    }
    installStyleSheet();
    auto* top = new Widget;
    top->kind = Kind::TopLevel;
    top->className = lowerCase(className);
    top->procedure = windowClass->procedure;
    top->outer = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(top->outer), wideToUtf8(title).c_str());
    gtk_window_set_resizable(GTK_WINDOW(top->outer), FALSE);
    gtk_style_context_add_class(gtk_widget_get_style_context(top->outer), "helmsight-window");
    setWindowIcon(top->outer, windowClass->iconResourceId);

    top->inner = gtk_layout_new(nullptr, nullptr);
    gtk_container_add(GTK_CONTAINER(top->outer), top->inner);
    GtkWidget* canvas = gtk_drawing_area_new();
    gtk_layout_put(GTK_LAYOUT(top->inner), canvas, 0, 0);
    g_object_set_data(G_OBJECT(top->outer), "helmsight-canvas", canvas);
    g_signal_connect(canvas, "draw", G_CALLBACK(onDraw), top);
    gtk_widget_show(canvas);
    gtk_widget_show(top->inner);

    g_signal_connect(top->outer, "delete-event", G_CALLBACK(onDeleteEvent), top);
    g_signal_connect(top->outer, "destroy", G_CALLBACK(onDestroy), top);
    allWidgets.push_back(top);
    callProcedure(top, kWmCreate, 0, 0);
    return top;
}

WindowHandle createControl(void*, WindowHandle parent, const std::wstring& className,
                           uint32_t style, int id, int x, int y, int width, int height,
                           const std::wstring& text) {
    Widget* top = asWidget(parent);
    if (top == nullptr || top->kind != Kind::TopLevel) {
        return nullptr;
    }
    auto* widget = new Widget;
    widget->className = lowerCase(className);
    widget->kind = kindOf(widget->className, style);
    widget->parent = top;
    widget->id = id;
    widget->style = style;
    widget->x = x;
    widget->y = y;
    const std::string label = wideToUtf8(text);

    switch (widget->kind) {
        case Kind::PushButton:
            widget->inner = gtk_button_new_with_label(label.c_str());
            gtk_style_context_add_class(gtk_widget_get_style_context(widget->inner),
                                        "helmsight-button");
            g_signal_connect(widget->inner, "clicked", G_CALLBACK(onButtonClicked), widget);
            break;
        case Kind::CheckBox:
            widget->inner = gtk_check_button_new_with_label(label.c_str());
            g_signal_connect(widget->inner, "clicked", G_CALLBACK(onButtonClicked), widget);
            break;
        case Kind::ComboBox:
            widget->inner = gtk_combo_box_text_new();
            g_signal_connect(widget->inner, "changed", G_CALLBACK(onComboChanged), widget);
            height = -1;  // the given height is that of the opened list
            break;
        case Kind::ProgressBar:
            widget->inner = gtk_progress_bar_new();
            gtk_style_context_add_class(gtk_widget_get_style_context(widget->inner),
                                        "helmsight-progress");
            gtk_widget_set_valign(widget->inner, GTK_ALIGN_CENTER);
            break;
        case Kind::Static:
        case Kind::TopLevel:
            widget->inner = gtk_label_new(label.c_str());
            gtk_label_set_xalign(GTK_LABEL(widget->inner), (style & kSsRight) != 0 ? 1.0f : 0.0f);
            gtk_label_set_yalign(GTK_LABEL(widget->inner), 0.0f);
            gtk_label_set_line_wrap(GTK_LABEL(widget->inner), TRUE);
            gtk_label_set_line_wrap_mode(GTK_LABEL(widget->inner), PANGO_WRAP_WORD_CHAR);
            gtk_label_set_justify(GTK_LABEL(widget->inner),
                                  (style & kSsRight) != 0 ? GTK_JUSTIFY_RIGHT : GTK_JUSTIFY_LEFT);
            break;
    }

    widget->outer = gtk_event_box_new();
    gtk_widget_set_size_request(widget->outer, width, height);
    gtk_container_add(GTK_CONTAINER(widget->outer), widget->inner);
    if (widget->kind == Kind::Static && (style & kSsNotify) != 0) {
        gtk_widget_add_events(widget->outer, GDK_BUTTON_PRESS_MASK);
        g_signal_connect(widget->outer, "button-press-event", G_CALLBACK(onStaticPressed), widget);
    }
    g_signal_connect_after(widget->outer, "realize", G_CALLBACK(onControlRealize), widget);
    gtk_widget_show(widget->inner);
    gtk_layout_put(GTK_LAYOUT(top->inner), widget->outer, x, y);
    if ((style & kWsVisible) != 0) {
        gtk_widget_show(widget->outer);
    }
    if (widget->kind == Kind::PushButton && (style & kBsTypeMask) == 1) {
        gtk_widget_set_can_default(widget->inner, TRUE);
        gtk_widget_grab_default(widget->inner);
    }
    allWidgets.push_back(widget);
    return widget;
}

intptr_t defaultWindowProcedure(WindowHandle, uint32_t, uintptr_t, intptr_t) {
    return 0;
}

intptr_t sendMessage(WindowHandle window, uint32_t message, uintptr_t first, intptr_t second) {
    Widget* widget = asWidget(window);
    if (widget->kind == Kind::TopLevel) {
        return callProcedure(widget, message, first, second);
    }
    switch (message) {
        case kWmSetFont: {
            const auto* font = reinterpret_cast<const FontSpec*>(first);
            if (font == nullptr) {
                replaceCss(widget->inner, widget->fontCss, std::string());
                return 0;
            }
            const int pixels = font->height < 0 ? -font->height : font->height;
            replaceCss(widget->inner, widget->fontCss,
                       "* { font-family: \"" + font->face +
                           "\", sans-serif; font-size: " + std::to_string(pixels) +
                           "px; font-weight: " + std::to_string(font->weight) + "; }");
            return 0;
        }
        case kBmSetCheck:
            if (widget->kind == Kind::CheckBox) {
                ++notificationsSuppressed;
                gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget->inner),
                                             first == kBstChecked);
                --notificationsSuppressed;
            }
            return 0;
        case kBmGetCheck:
            if (widget->kind == Kind::CheckBox) {
                return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget->inner)) ? 1 : 0;
            }
            return 0;
        case kCbAddString:
            if (widget->kind == Kind::ComboBox && second != 0) {
                const std::wstring text(reinterpret_cast<const wchar_t*>(second));
                widget->items.push_back(text);
                gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(widget->inner),
                                               wideToUtf8(text).c_str());
                return static_cast<intptr_t>(widget->items.size() - 1);
            }
            return kCbErr;
        case kCbSetCurSel: {
            if (widget->kind != Kind::ComboBox) {
                return kCbErr;
            }
            const auto index = static_cast<intptr_t>(first);
            const bool valid = index >= 0 && index < static_cast<intptr_t>(widget->items.size());
            ++notificationsSuppressed;
            gtk_combo_box_set_active(GTK_COMBO_BOX(widget->inner),
                                     valid ? static_cast<gint>(index) : -1);
            --notificationsSuppressed;
            return valid ? index : kCbErr;
        }
        case kCbGetCurSel:
            if (widget->kind == Kind::ComboBox) {
                const gint active = gtk_combo_box_get_active(GTK_COMBO_BOX(widget->inner));
                return active < 0 ? kCbErr : active;
            }
            return kCbErr;
        case kCbGetLbTextLen:
        case kCbGetLbText: {
            const auto index = static_cast<intptr_t>(first);
            if (widget->kind != Kind::ComboBox || index < 0 ||
                index >= static_cast<intptr_t>(widget->items.size())) {
                return kCbErr;
            }
            const std::wstring& item = widget->items[static_cast<size_t>(index)];
            if (message == kCbGetLbText && second != 0) {
                auto* buffer = reinterpret_cast<wchar_t*>(second);
                std::copy(item.begin(), item.end(), buffer);
                buffer[item.size()] = L'\0';
            }
            return static_cast<intptr_t>(item.size());
        }
        case kPbmSetRange:
            widget->rangeLow = static_cast<int>(lowWord(static_cast<uintptr_t>(second)));
            widget->rangeHigh = static_cast<int>(highWord(static_cast<uintptr_t>(second)));
            return 0;
        case kPbmSetStep:
            return 0;
        case kPbmSetPos: {
            if (widget->kind != Kind::ProgressBar) {
                return 0;
            }
            const int previous = widget->position;
            widget->position =
                std::clamp(static_cast<int>(first), widget->rangeLow, widget->rangeHigh);
            const int span = std::max(1, widget->rangeHigh - widget->rangeLow);
            gtk_progress_bar_set_fraction(
                GTK_PROGRESS_BAR(widget->inner),
                static_cast<double>(widget->position - widget->rangeLow) / span);
            return previous;
        }
        default:
            return 0;
    }
}

bool setWindowText(WindowHandle window, const std::wstring& text) {
    Widget* widget = asWidget(window);
    const std::string utf8 = wideToUtf8(text);
    switch (widget->kind) {
        case Kind::TopLevel:
            gtk_window_set_title(GTK_WINDOW(widget->outer), utf8.c_str());
            break;
        case Kind::PushButton:
        case Kind::CheckBox: {
            const gchar* current = gtk_button_get_label(GTK_BUTTON(widget->inner));
            // Pages are re-applied on every paint; an unchanged text must not paint again.
            if (current == nullptr || utf8 != current) {
                gtk_button_set_label(GTK_BUTTON(widget->inner), utf8.c_str());
            }
            break;
        }
        case Kind::Static:
            if (utf8 != gtk_label_get_text(GTK_LABEL(widget->inner))) {
                gtk_label_set_text(GTK_LABEL(widget->inner), utf8.c_str());
            }
            break;
        case Kind::ComboBox:
        case Kind::ProgressBar:
            break;
    }
    return true;
}

bool showWindow(WindowHandle window, int command) {
    Widget* widget = asWidget(window);
    const bool wasVisible = gtk_widget_get_visible(widget->outer);
    if (command == kSwHide) {
        if (wasVisible) {
            gtk_widget_hide(widget->outer);
        }
        return wasVisible;
    }
    if (!wasVisible) {
        if (widget->kind == Kind::TopLevel) {
            gtk_window_move(GTK_WINDOW(widget->outer), widget->x, widget->y);
        }
        gtk_widget_show(widget->outer);
    }
    return wasVisible;
}

void updateWindow(WindowHandle) {
    // GTK paints on its next frame; the window procedure's painting runs then.
}

void invalidateWindow(WindowHandle window, bool) {
    gtk_widget_queue_draw(asWidget(window)->outer);
}

void destroyWindow(WindowHandle window) {
    Widget* widget = asWidget(window);
    // As DestroyWindow, a missing window is a failed call, not a crash.
    if (widget != nullptr && widget->outer != nullptr) {
        GtkWidget* outer = widget->outer;
        widget->outer = nullptr;
        gtk_widget_destroy(outer);
    }
}

void setWindowPosition(WindowHandle window, int x, int y, int width, int height) {
    Widget* widget = asWidget(window);
    widget->x = x;
    widget->y = y;
    if (widget->kind == Kind::TopLevel) {
        auto* canvas =
            static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(widget->outer), "helmsight-canvas"));
        gtk_widget_set_size_request(canvas, width, height);
        gtk_widget_set_size_request(widget->inner, width, height);
        gtk_layout_set_size(GTK_LAYOUT(widget->inner), static_cast<guint>(std::max(width, 0)),
                            static_cast<guint>(std::max(height, 0)));
        gtk_window_move(GTK_WINDOW(widget->outer), x, y);
    } else {
        gtk_widget_set_size_request(widget->outer, width, height);
        gtk_layout_move(GTK_LAYOUT(widget->parent->inner), widget->outer, x, y);
    }
}

ScreenSize primaryScreenSize() {
    GdkDisplay* display = gdk_display_get_default();
    if (display == nullptr) {
        return ScreenSize{};
    }
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (monitor == nullptr) {
        monitor = gdk_display_get_monitor(display, 0);
    }
    if (monitor == nullptr) {
        return ScreenSize{};
    }
    GdkRectangle area;
    gdk_monitor_get_geometry(monitor, &area);
    return ScreenSize{area.width, area.height};
}

void setClassCursorToHand(WindowHandle control) {
    Widget* widget = asWidget(control);
    handCursorClasses.insert(widget->className);
    for (Widget* other : allWidgets) {
        if (other->className == widget->className) {
            applyClassCursor(other);
        }
    }
}

int pixelsPerInchY(WindowHandle) {
    const double resolution = gdk_screen_get_resolution(gdk_screen_get_default());
    return resolution > 0 ? static_cast<int>(std::lround(resolution)) : 96;
}

FontHandle createFont(int height, int weight, const std::wstring& faceName) {
    return new FontSpec{height, weight, wideToUtf8(faceName)};
}

void setTextColor(DeviceContext context, uint32_t color) {
    static_cast<ColourRequest*>(context)->text = color;
}

void setTextBackgroundColor(DeviceContext context, uint32_t color) {
    static_cast<ColourRequest*>(context)->background = color;
}

BrushHandle createSolidBrush(uint32_t color) {
    return new uint32_t(color);
}

void startImageLibrary() {}

ImageHandle imageFromBytes(const void* data, size_t size) {
    return pixbufFromBytes(data, size);
}

struct PaintSession::State {
    cairo_t* cr = nullptr;
};

PaintSession::PaintSession(WindowHandle) : state_(new State) {
    state_->cr = currentPaint;
    if (state_->cr != nullptr) {
        cairo_save(state_->cr);
    }
}

PaintSession::~PaintSession() {
    if (state_->cr != nullptr) {
        cairo_restore(state_->cr);
    }
    delete state_;
}

void PaintSession::drawImage(ImageHandle image, int x, int y, int width, int height) {
    auto* pixbuf = static_cast<GdkPixbuf*>(image);
    cairo_t* cr = state_->cr;
    if (cr == nullptr || pixbuf == nullptr) {
        return;
    }
    const int imageWidth = gdk_pixbuf_get_width(pixbuf);
    const int imageHeight = gdk_pixbuf_get_height(pixbuf);
    if (imageWidth <= 0 || imageHeight <= 0) {
        return;
    }
    cairo_save(cr);
    cairo_rectangle(cr, x, y, width, height);
    cairo_clip(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, static_cast<double>(width) / imageWidth,
                static_cast<double>(height) / imageHeight);
    gdk_cairo_set_source_pixbuf(cr, pixbuf, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BEST);
    cairo_paint(cr);
    cairo_restore(cr);
}

void PaintSession::drawLine(int fromX, int fromY, int toX, int toY) {
    cairo_t* cr = state_->cr;
    if (cr == nullptr) {
        return;
    }
    cairo_save(cr);
    cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
    cairo_set_line_width(cr, 1.0);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    // Pixel centres: a horizontal line covers the pixels from the first x up to the last.
    cairo_move_to(cr, fromX, fromY + 0.5);
    cairo_line_to(cr, toX, toY + 0.5);
    cairo_stroke(cr);
    cairo_restore(cr);
}

int runMessageLoop() {
    while (!quitPosted) {
        g_main_context_iteration(nullptr, TRUE);
    }
    return quitCode;
}

void postQuitMessage(int exitCode) {
    quitPosted = true;
    quitCode = exitCode;
    g_main_context_wakeup(nullptr);
}

void pumpMessages() {
    // Bounded, so that sources that are always ready cannot keep the caller here.
    for (int i = 0; i < 1000 && g_main_context_iteration(nullptr, FALSE); ++i) {
    }
}

void waitForMessages(int milliseconds) {
    bool fired = false;
    const guint timer =
        g_timeout_add(static_cast<guint>(milliseconds < 0 ? 0 : milliseconds), markFired, &fired);
    g_main_context_iteration(nullptr, TRUE);
    if (!fired) {
        g_source_remove(timer);
    }
}

}  // namespace platform
