// Test tool: shows one welcome page of the installer window, with the versions given, for a
// screenshot, then ends by itself. It drives the real window and page code; only the choice of
// the page is its own, so that pages whose conditions need a download server can be seen too.
// Usage: helmsight-page-gallery install|uninstall|incomplete|upgrade|newer PACKAGE INSTALLED
// SECONDS
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/product_profile.h"
#include "core/session_state.h"
#include "localization/translation_catalog.h"
#include "platform/text.h"
#include "ui/action_sequence.h"
#include "ui/installer_window.h"
#include "ui/pages.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: helmsight-page-gallery PAGE PACKAGE INSTALLED SECONDS\n");
        return 2;
    }
    const std::string page = argv[1];
    fillProductProfile(kDefaultBaseUrl);
    catalog().loadTranslations();
    catalog().setLanguage(L"en-US");
    SessionState& s = session();
    s.packageVersion = Version(platform::utf8ToWide(argv[2]));
    s.installedVersion = Version(platform::utf8ToWide(argv[3]));
    s.windowClassName = L"HelmsightPageGallery";
    // The window paints the chosen page only: the install decision runs only before work starts.
    s.startedWork = StartedWork::Install;
    registerInstallerWindowClass(nullptr);
    if (!createInstallerWindow(nullptr, 1)) {
        std::fprintf(stderr, "no window\n");
        return 2;
    }
    if (page == "install") {
        s.pendingAction = PendingAction::Install;
        showInstallPage();
    } else if (page == "uninstall") {
        s.pendingAction = PendingAction::Uninstall;
        showUninstallPage();
    } else if (page == "incomplete") {
        s.pendingAction = PendingAction::Reinstall;
        showIncompletePage();
    } else if (page == "upgrade") {
        s.pendingAction = PendingAction::Reinstall;
        showUpgradePage();
    } else if (page == "newer") {
        s.pendingAction = PendingAction::Finish;
        showNewerVersionPage();
    } else {
        std::fprintf(stderr, "unknown page %s\n", page.c_str());
        return 2;
    }
    waitPumping(std::atoi(argv[4]) * 1000);
    return 0;
}
