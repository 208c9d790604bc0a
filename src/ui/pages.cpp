// The welcome pages and the finish page. Welcome pages are re-applied on every paint until
// work starts, so each one only sets what it owns and gives the same window when repeated.
#include "ui/pages.h"

#include "core/product_profile.h"
#include "core/session_state.h"
#include "localization/translation_catalog.h"
#include "ui/controls.h"

namespace {

const std::wstring& productName() {
    return profile().korvane.productName;
}

}  // namespace

void showInstallPage() {
    InstallerWindowState& w = installerWindow();
    setControlText(w.actionButton, translate(L"IDS_INSTALL"));
    setControlText(w.messageText, translate(L"IDS_TITLE_INSTALLATION", {productName()}));
}

void showUninstallPage() {
    InstallerWindowState& w = installerWindow();
    setControlText(w.actionButton, translate(L"IDS_UNINSTALL"));
    setControlText(w.messageText, translate(L"IDS_TITLE_UNINSTALL", {productName()}));
}

void showIncompletePage() {
    setControlText(
        installerWindow().messageText,
        translate(L"IDS_INCOMPLETE_INSTALL", {session().packageVersion.text(), productName()}));
}

void showUpgradePage() {
    const SessionState& s = session();
    setControlText(installerWindow().messageText,
                   translate(L"IDS_OLD_VERSION_INSTALLED",
                             {s.installedVersion.text(), s.packageVersion.text(), productName()}));
}

void showNewerVersionPage() {
    const SessionState& s = session();
    InstallerWindowState& w = installerWindow();
    setControlText(w.actionButton, translate(L"IDS_OK"));
    showControl(w.cancelButton, platform::kSwHide);
    setControlText(w.messageText,
                   translate(L"IDS_NEWER_VERSION_INSTALLED",
                             {s.installedVersion.text(), s.packageVersion.text(), productName()}));
}

void showFinishPage(const std::wstring& message) {
    SessionState& s = session();
    InstallerWindowState& w = installerWindow();
    if (s.pendingAction == PendingAction::Install) {
        showControl(w.launchCheckBox, platform::kSwShow);
    }
    s.pendingAction = PendingAction::Finish;
    setControlText(w.messageText, message);
    showControl(w.actionButton, platform::kSwShow);
    showControl(w.window, platform::kSwHide);
    showControl(w.progressBar, platform::kSwHide);
    showControl(w.window, platform::kSwShow);
    showControl(w.cancelButton, platform::kSwHide);
    setControlText(w.actionButton, translate(L"IDS_FINISH"));
}

std::wstring productVersionLine() {
    const SessionState& s = session();
    const Version& shown = s.uninstall ? s.installedVersion : s.packageVersion;
    return translate(L"IDS_INSTALL_END_TEXT1", {productName()}) + L": " + shown.text();
}

std::wstring setupVersionLine() {
    return translate(L"IDS_INSTALL") + L" " + translate(L"IDS_VERSION") + L": " +
           session().setupVersion;
}
