// The installer window: class, creation, painting, static colours and the window procedure.
// Pages show, hide and re-label its controls; the action sequence runs the work.
#include "ui/installer_window.h"

#include <cstdint>
#include <vector>

#include "core/exit_codes.h"
#include "core/install_decision.h"
#include "core/product_profile.h"
#include "core/session_state.h"
#include "install/install_worker.h"
#include "localization/translation_catalog.h"
#include "platform/process.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "registry/install_record.h"
#include "ui/action_sequence.h"
#include "ui/controls.h"
#include "ui/pages.h"

namespace {

constexpr uint16_t kIconGroupId = 100;
constexpr uint16_t kLogoResourceType = 3000;
constexpr int kWindowWidth = 490;
constexpr int kWindowHeight = 357;
constexpr uint32_t kWindowStyle = 0x00CA0000;  // caption, system menu, minimise box
constexpr int kSeparatorY = 240;
constexpr int kSeparatorEndX = 475;
constexpr uint32_t kLinkColor = platform::rgb(0, 112, 187);
constexpr uint32_t kTextColor = platform::rgb(0, 0, 0);
constexpr uint32_t kWhite = platform::rgb(255, 255, 255);
constexpr int kLanguageNameBufferChars = 512;

struct ControlLayout {
    platform::WindowHandle InstallerWindowState::*handle;
    const wchar_t* className;
    uint32_t style;
    int id;
    int x;
    int y;
    int width;
    int height;
};

// In the order they are made.
const ControlLayout kControls[] = {
    {&InstallerWindowState::actionButton, L"Button", 0x50008001, 0, 354, 262, 105, 29},
    {&InstallerWindowState::cancelButton, L"Button", 0x50008000, 0, 245, 262, 105, 29},
    {&InstallerWindowState::launchCheckBox, L"Button", 0x50000003, 1, 50, 150, 150, 45},
    {&InstallerWindowState::languageComboBox, L"ComboBox", 0x50000203, 0, 15, 167, 244, 450},
    {&InstallerWindowState::progressBar, L"msctls_progress32", 0x40000001, 0, 15, 167, 445, 25},
    {&InstallerWindowState::releaseNotesLink, L"STATIC", 0x50000102, 0, 200, 220, 260, 20},
    {&InstallerWindowState::messageText, L"STATIC", 0x50000000, 0, 15, 40, 444, 90},
    {&InstallerWindowState::languageLabel, L"STATIC", 0x50000000, 0, 15, 145, 250, 20},
    {&InstallerWindowState::productVersionText, L"STATIC", 0x50000000, 0, 15, 220, 300, 20},
    {&InstallerWindowState::setupVersionText, L"STATIC", 0x50000000, 0, 10, 300, 200, 20},
};

std::wstring initialTextOf(platform::WindowHandle InstallerWindowState::*handle) {
    const std::wstring& product = profile().korvane.productName;
    if (handle == &InstallerWindowState::actionButton) {
        return translate(L"IDS_INSTALL");
    }
    if (handle == &InstallerWindowState::cancelButton) {
        return translate(L"IDS_CANCEL");
    }
    if (handle == &InstallerWindowState::launchCheckBox) {
        return translate(L"IDS_LAUNCH_HELMSIGHT", {product});
    }
    if (handle == &InstallerWindowState::releaseNotesLink) {
        return translate(L"IDS_VIEW_RELEASE_NOTES");
    }
    if (handle == &InstallerWindowState::languageLabel) {
        return translate(L"options_select_language");
    }
    if (handle == &InstallerWindowState::productVersionText) {
        return productVersionLine();
    }
    if (handle == &InstallerWindowState::setupVersionText) {
        return setupVersionLine();
    }
    return std::wstring();
}

platform::FontHandle createUiFont(platform::WindowHandle window, int points) {
    return platform::createFont(uiFontHeight(points, platform::pixelsPerInchY(window)), 400,
                                L"Segoe UI");
}

// The logo picture from the program's resources; null when missing or undecodable.
platform::ImageHandle loadLogoImage(int32_t resourceId) {
    const platform::ResourceInfo info =
        platform::findResource(kLogoResourceType, static_cast<uint16_t>(resourceId));
    if (info == nullptr) {
        return nullptr;
    }
    const platform::ResourceData data = platform::loadResource(info);
    if (data == nullptr) {
        return nullptr;
    }
    const uint32_t size = platform::sizeofResource(info);
    const void* bytes = platform::lockResource(data);
    platform::ImageHandle image = nullptr;
    if (bytes != nullptr && size > 0) {
        image = platform::imageFromBytes(bytes, size);
    }
    platform::freeResource(data);
    return image;
}

void fillLanguageComboBox() {
    InstallerWindowState& w = installerWindow();
    const LanguageList list = languageList();
    for (const std::wstring& name : list.names) {
        sendControlMessage(w.languageComboBox, platform::kCbAddString, 0,
                           reinterpret_cast<intptr_t>(name.c_str()));
    }
    sendControlMessage(w.languageComboBox, platform::kCbSetCurSel,
                       static_cast<uintptr_t>(list.selected), 0);
}

void setFont(platform::WindowHandle control, platform::FontHandle font) {
    sendControlMessage(control, platform::kWmSetFont, reinterpret_cast<uintptr_t>(font), 1);
}

void paint(platform::WindowHandle window) {
    InstallerWindowState& w = installerWindow();
    platform::PaintSession painter(window);
    const LogoRect& logo = profile().logoRect;
    if (w.logoImage != nullptr) {
        painter.drawImage(w.logoImage, logo.x, logo.y, logo.width, logo.height);
    }
    painter.drawLine(0, kSeparatorY, kSeparatorEndX, kSeparatorY);
    if (session().startedWork == StartedWork::None) {
        decideInstallAction();
    }
}

intptr_t colourStatic(platform::DeviceContext context, platform::WindowHandle control) {
    InstallerWindowState& w = installerWindow();
    const bool link = control != nullptr && control == w.releaseNotesLink;
    platform::setTextColor(context, link ? kLinkColor : kTextColor);
    platform::setTextBackgroundColor(context, kWhite);
    if (w.staticBackgroundBrush == nullptr) {
        w.staticBackgroundBrush = platform::createSolidBrush(kWhite);
    }
    return reinterpret_cast<intptr_t>(w.staticBackgroundBrush);
}

void cancel() {
    SessionState& s = session();
    if (s.pendingAction != PendingAction::Install || s.installWorker == nullptr) {
        platform::exitProcessNow(kExitDone);
    }
    s.installWorker->requestCancel();
    s.pendingAction = PendingAction::Rollback;
}

void openReleaseNotes() {
    const BrandProfile& k = profile().korvane;
    platform::openWithShell(k.downloadFolderUrl + k.releaseNotesFileName);
}

void changeLanguage() {
    InstallerWindowState& w = installerWindow();
    const intptr_t index = sendControlMessage(w.languageComboBox, platform::kCbGetCurSel, 0, 0);
    if (index < 0) {
        return;
    }
    const intptr_t length = sendControlMessage(w.languageComboBox, platform::kCbGetLbTextLen,
                                               static_cast<uintptr_t>(index), 0);
    if (length < 0 || length >= kLanguageNameBufferChars) {
        return;
    }
    std::vector<wchar_t> buffer(kLanguageNameBufferChars, L'\0');
    sendControlMessage(w.languageComboBox, platform::kCbGetLbText, static_cast<uintptr_t>(index),
                       reinterpret_cast<intptr_t>(buffer.data()));
    const std::wstring code = catalog().languageOfDisplayName(buffer.data());
    // A name the catalogue does not know would store an empty culture, which start-up then
    // treats as a registry failure.
    if (code.empty()) {
        return;
    }
    catalog().setLanguage(code);
    installRecord().setCurrentCulture(code);

    const std::wstring& product = profile().korvane.productName;
    setControlText(w.cancelButton, translate(L"IDS_CANCEL"));
    setControlText(w.releaseNotesLink, translate(L"IDS_VIEW_RELEASE_NOTES"));
    switch (session().pendingAction) {
        case PendingAction::Install:
            setControlText(w.actionButton, translate(L"IDS_INSTALL"));
            showInstallPage();
            break;
        case PendingAction::Uninstall:
            setControlText(w.actionButton, translate(L"IDS_UNINSTALL"));
            showUninstallPage();
            break;
        case PendingAction::Reinstall:
            setControlText(w.actionButton, translate(L"IDS_INSTALL"));
            showUpgradePage();
            break;
        default:
            showNewerVersionPage();
            break;
    }
    setControlText(w.languageLabel, translate(L"options_select_language"));
    setControlText(w.productVersionText, productVersionLine());
    setControlText(w.launchCheckBox, translate(L"IDS_LAUNCH_HELMSIGHT", {product}));
    setControlText(w.setupVersionText, setupVersionLine());
}

intptr_t command(platform::WindowHandle window, uintptr_t first, intptr_t second) {
    InstallerWindowState& w = installerWindow();
    const auto control = reinterpret_cast<platform::WindowHandle>(second);
    if (control != nullptr) {
        if (control == w.actionButton) {
            runPendingAction(window);
            return 0;
        }
        if (control == w.cancelButton) {
            cancel();
            return 0;
        }
        if (control == w.releaseNotesLink) {
            openReleaseNotes();
            return 0;
        }
        if (control == w.languageComboBox) {
            if (platform::highWord(first) == platform::kCbnSelChange) {
                changeLanguage();
            }
            return 0;
        }
    }
    return platform::defaultWindowProcedure(window, platform::kWmCommand, first, second);
}

}  // namespace

WindowOrigin centredWindowOrigin(int screenWidth, int screenHeight, int width, int height) {
    return WindowOrigin{(screenWidth - width) / 2, (screenHeight - height) / 2};
}

int uiFontHeight(int points, int pixelsPerInch) {
    const int64_t product = static_cast<int64_t>(points) * pixelsPerInch;
    return -static_cast<int>((product + 36) / 72);
}

LanguageList languageList() {
    LanguageList list;
    const TranslationCatalog& c = catalog();
    list.names = c.displayNames();
    const std::wstring current = c.currentLanguage();
    for (size_t i = 0; i < list.names.size(); ++i) {
        if (c.languageOfDisplayName(list.names[i]) == current) {
            list.selected = static_cast<int>(i);
        }
    }
    return list;
}

void registerInstallerWindowClass(void* instance) {
    platform::registerWindowClass(instance, session().windowClassName, installerWindowProc,
                                  kIconGroupId);
}

bool createInstallerWindow(void* instance, int showCommand) {
    InstallerWindowState& w = installerWindow();
    w.instance = instance;
    platform::startImageLibrary();
    w.window = platform::createTopLevelWindow(instance, session().windowClassName,
                                              profile().korvane.installerTitle, kWindowStyle);
    if (w.window == nullptr) {
        return false;
    }
    const platform::ScreenSize screen = platform::primaryScreenSize();
    const WindowOrigin origin =
        centredWindowOrigin(screen.width, screen.height, kWindowWidth, kWindowHeight);
    platform::setWindowPosition(w.window, origin.x, origin.y, kWindowWidth, kWindowHeight);
    w.logoImage = loadLogoImage(profile().logoResourceId);

    for (const ControlLayout& layout : kControls) {
        w.*layout.handle = platform::createControl(
            instance, w.window, layout.className, layout.style, layout.id, layout.x, layout.y,
            layout.width, layout.height, initialTextOf(layout.handle));
        if (layout.handle == &InstallerWindowState::languageComboBox) {
            fillLanguageComboBox();
        }
        if (layout.handle == &InstallerWindowState::progressBar) {
            sendControlMessage(w.progressBar, platform::kPbmSetRange, 0,
                               static_cast<intptr_t>(platform::makeFirstParameter(0, 100)));
            sendControlMessage(w.progressBar, platform::kPbmSetStep, 1, 0);
        }
    }

    sendControlMessage(w.launchCheckBox, platform::kBmSetCheck, platform::kBstChecked, 0);
    showControl(w.launchCheckBox, platform::kSwHide);

    setFont(w.actionButton, w.largeFont);
    setFont(w.cancelButton, w.largeFont);
    setFont(w.languageComboBox, w.smallFont);
    if (w.actionButton != nullptr) {
        platform::setClassCursorToHand(w.actionButton);
    }
    setFont(w.messageText, w.largeFont);
    setFont(w.languageLabel, w.smallFont);
    setFont(w.productVersionText, w.largeFont);
    setFont(w.setupVersionText, w.smallFont);
    setFont(w.releaseNotesLink, w.smallFont);
    if (w.releaseNotesLink != nullptr) {
        platform::setClassCursorToHand(w.releaseNotesLink);
    }

    platform::showWindow(w.window, showCommand);
    platform::updateWindow(w.window);
    return true;
}

int runMessageLoop() {
    return platform::runMessageLoop();
}

intptr_t installerWindowProc(platform::WindowHandle window, uint32_t message, uintptr_t first,
                             intptr_t second) {
    InstallerWindowState& w = installerWindow();
    switch (message) {
        case platform::kWmCreate:
            w.smallFont = createUiFont(window, 10);
            w.largeFont = createUiFont(window, 12);
            return 0;
        case platform::kWmDestroy:
            platform::postQuitMessage(kExitDone);
            return 0;
        case platform::kWmPaint:
            paint(window);
            return 0;
        case platform::kWmClose:
            if (session().closeEnabled) {
                platform::destroyWindow(window);
                platform::exitProcessNow(kExitDone);
            }
            return 0;
        case platform::kWmCommand:
            return command(window, first, second);
        case platform::kWmCtlColorStatic:
            return colourStatic(reinterpret_cast<platform::DeviceContext>(first),
                                reinterpret_cast<platform::WindowHandle>(second));
        default:
            break;
    }
    return platform::defaultWindowProcedure(window, message, first, second);
}
