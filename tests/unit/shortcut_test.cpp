// Shortcuts: both places, the target rule (the application, else its alternate name), the
// installation folder as working folder and the target's first icon, read back from the
// saved files (shell links under Wine, desktop entries on Linux).
#include "install_test_support.h"

namespace {

using namespace installtest;

class ShortcutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fillProductProfile(kDefaultBaseUrl);
        useScratchDesktop();
        removeInstallationLeftovers();
        fs::create_directories(installFolder());
    }
    void TearDown() override { removeInstallationLeftovers(); }

    void expectShortcut(const std::wstring& path, const std::wstring& target) {
        platform::ShortcutProperties link;
        ASSERT_TRUE(platform::readShortcut(path, link)) << platform::wideToUtf8(path);
        EXPECT_EQ(link.target, target);
        EXPECT_EQ(toPath(link.workingFolder), toPath(profile().korvane.installFolder));
        EXPECT_EQ(link.iconPath, target);
        EXPECT_EQ(link.iconIndex, 0);
    }
};

TEST_F(ShortcutTest, Places) {
    EXPECT_EQ(shortcutFileName(), std::wstring(L"Helmsight") + platform::kShortcutExtension);
    ASSERT_FALSE(desktopFolder().empty());
    ASSERT_FALSE(commonProgramsFolder().empty());
    EXPECT_EQ(desktopFolder().back(), platform::kPathSeparator);
    EXPECT_EQ(commonProgramsFolder().back(), platform::kPathSeparator);
    if (!windowsBuild()) {
        EXPECT_EQ(toPath(commonProgramsFolder()),
                  toPath(platform::programFilesX86Folder()).parent_path() / "usr" / "share" /
                      "applications" / "");
    }
}

TEST_F(ShortcutTest, BothShortcutsPointToTheApplication) {
    const std::wstring application = profile().korvane.installFolder + L"Helmsight.exe";
    writeFile(toPath(application), "app");
    writeFile(installFolder() / "KorvaneSSDHelmsight.exe", "alternate");

    createShortcuts();

    expectShortcut(desktopFolder() + shortcutFileName(), application);
    expectShortcut(commonProgramsFolder() + shortcutFileName(), application);
}

TEST_F(ShortcutTest, AlternateNameWhenTheApplicationIsMissing) {
    const std::wstring alternate = profile().korvane.installFolder + L"KorvaneSSDHelmsight.exe";
    createShortcuts();  // neither program exists: the alternate name all the same
    expectShortcut(desktopFolder() + shortcutFileName(), alternate);
    expectShortcut(commonProgramsFolder() + shortcutFileName(), alternate);
}

TEST_F(ShortcutTest, ExistingShortcutIsOverwritten) {
    writeFile(toPath(desktopFolder() + shortcutFileName()), "stale");
    writeFile(installFolder() / "Helmsight.exe", "app");
    createShortcuts();
    expectShortcut(desktopFolder() + shortcutFileName(),
                   profile().korvane.installFolder + L"Helmsight.exe");
}

// Root writes the entry into the user's desktop: a link the user planted in its place is
// neither written through nor made executable, and the shared entry is written all the same.
TEST_F(ShortcutTest, LinkInPlaceOfTheDesktopEntryIsNotFollowed) {
    if (windowsBuild()) {
        GTEST_SKIP() << "planting links is the Linux test's business";
    }
    const fs::path victim = makerFolder() / "victim";
    writeFile(victim, "keep");
    fs::permissions(victim, fs::perms::owner_read | fs::perms::owner_write);
    const fs::path entry = toPath(desktopFolder() + shortcutFileName());
    fs::create_symlink(victim, entry);
    writeFile(installFolder() / "Helmsight.exe", "app");

    createShortcuts();

    EXPECT_EQ(readFile(victim), "keep");
    EXPECT_EQ(fs::status(victim).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(fs::is_symlink(entry));
    fs::remove(entry);
    expectShortcut(commonProgramsFolder() + shortcutFileName(),
                   profile().korvane.installFolder + L"Helmsight.exe");
    EXPECT_EQ(fs::status(toPath(commonProgramsFolder() + shortcutFileName())).permissions() &
                  fs::perms::all,
              fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                  fs::perms::others_read | fs::perms::others_exec);
}

// A desktop entry keeps an awkward path as one program: blanks, quotes, dollar and percent.
TEST(DesktopEntryTest, AwkwardTargetSurvivesTheExecKey) {
    if (windowsBuild()) {
        GTEST_SKIP() << "shell links store the path as it is";
    }
    fillProductProfile(kDefaultBaseUrl);
    const fs::path folder = makerFolder() / "entry test";
    fs::create_directories(folder);
    platform::ShortcutProperties link;
    link.target = wide(folder) + L"/a \"b\" $HOME `x` 50% \\ c.exe";
    link.workingFolder = wide(folder) + L"/";
    link.iconPath = link.target;
    const std::wstring path = wide(folder / "Helmsight.desktop");
    ASSERT_TRUE(platform::saveShortcut(link, {path}));

    platform::ShortcutProperties back;
    ASSERT_TRUE(platform::readShortcut(path, back));
    EXPECT_EQ(back.target, link.target);
    EXPECT_EQ(back.workingFolder, link.workingFolder);
    const std::string text = readFile(toPath(path));
    EXPECT_NE(text.find("[Desktop Entry]\nType=Application\nName=Helmsight\n"), std::string::npos);
    EXPECT_NE(text.find("50%% "), std::string::npos);
    removeTree(makerFolder());
}

}  // namespace
