// The installer window's own arithmetic and lists, and the pages and control operations
// without a window (console mode): they change nothing but PendingAction.
#include <gtest/gtest.h>

#include "core/session_state.h"
#include "localization/translation_catalog.h"
#include "ui/controls.h"
#include "ui/installer_window.h"
#include "ui/pages.h"

namespace {

TEST(UiWindowTest, CentredOnThePrimaryScreen) {
    struct Case {
        int screenWidth, screenHeight, x, y;
    };
    const Case cases[] = {
        {1024, 768, 267, 205},
        {1920, 1080, 715, 361},
        {480, 357, -5, 0},  // narrower than the window: truncated toward zero
        {489, 356, 0, 0},
    };
    for (const Case& c : cases) {
        const WindowOrigin origin = centredWindowOrigin(c.screenWidth, c.screenHeight, 490, 357);
        EXPECT_EQ(origin.x, c.x) << c.screenWidth;
        EXPECT_EQ(origin.y, c.y) << c.screenHeight;
    }
}

TEST(UiWindowTest, FontHeightsRoundLikeMulDiv) {
    EXPECT_EQ(uiFontHeight(10, 96), -13);
    EXPECT_EQ(uiFontHeight(12, 96), -16);
    EXPECT_EQ(uiFontHeight(10, 120), -17);
    EXPECT_EQ(uiFontHeight(12, 144), -24);
}

TEST(UiWindowTest, LanguageListSelectsTheCurrentLanguage) {
    TranslationCatalog& c = catalog();
    const std::wstring saved = c.currentLanguage();
    c.loadTranslations();
    c.setLanguage(L"de-DE");
    LanguageList list = languageList();
    if (list.names.empty()) {
        EXPECT_EQ(list.selected, 0);  // no translations loaded: an empty box
    } else {
        ASSERT_EQ(list.names.size(), 17u);
        EXPECT_EQ(list.selected, 2);
        EXPECT_EQ(list.names[2], L"Deutsch");
        EXPECT_EQ(list.names.front(), L"Čeština");
        EXPECT_EQ(list.names.back(), L"繁體中文");
    }
    c.setLanguage(L"de-AT");  // no file: the first entry
    EXPECT_EQ(languageList().selected, 0);
    c.setLanguage(saved);
}

TEST(UiWindowTest, ControlOperationsWithoutAWindowDoNothing) {
    EXPECT_EQ(setControlText(nullptr, L"text"), 0);
    EXPECT_EQ(showControl(nullptr, platform::kSwShow), 0);
    EXPECT_EQ(sendControlMessage(nullptr, platform::kBmGetCheck, 0, 0), 0);
    EXPECT_EQ(invalidateWindow(nullptr, true), 0);
}

TEST(UiWindowTest, PagesWithoutAWindowChangeOnlyPendingAction) {
    ASSERT_EQ(installerWindow().window, nullptr);
    SessionState& s = session();
    for (PendingAction action :
         {PendingAction::Install, PendingAction::Uninstall, PendingAction::Reinstall}) {
        s.pendingAction = action;
        showInstallPage();
        showUninstallPage();
        showIncompletePage();
        showUpgradePage();
        showNewerVersionPage();
        EXPECT_EQ(s.pendingAction, action);
        showFinishPage(L"done");
        EXPECT_EQ(s.pendingAction, PendingAction::Finish);
    }
    s.pendingAction = PendingAction::Install;
}

// The close box does nothing until an action has ended; then it ends the program with 0.
TEST(UiWindowTest, CloseEndsTheProgramOnlyWhenEnabled) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    SessionState& s = session();
    s.closeEnabled = false;
    EXPECT_EQ(installerWindowProc(nullptr, platform::kWmClose, 0, 0), 0);
    s.closeEnabled = true;
    EXPECT_EXIT(installerWindowProc(nullptr, platform::kWmClose, 0, 0), testing::ExitedWithCode(0),
                "");
    s.closeEnabled = false;
}

TEST(UiWindowTest, VersionLinesFollowTheUninstallFlag) {
    SessionState& s = session();
    const bool saved = s.uninstall;
    s.packageVersion = Version(L"2.8.0.0");
    s.installedVersion = Version(L"2.7.1.0");
    s.uninstall = false;
    EXPECT_EQ(productVersionLine().substr(productVersionLine().size() - 9), L": 2.8.0.0");
    s.uninstall = true;
    EXPECT_EQ(productVersionLine().substr(productVersionLine().size() - 9), L": 2.7.1.0");
    s.uninstall = saved;
    const std::wstring setupLine = setupVersionLine();
    EXPECT_EQ(setupLine.substr(setupLine.size() - 9), L": 5.3.2.4");
}

}  // namespace
