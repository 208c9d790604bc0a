// The file steps of an uninstallation: which folders may be deleted at all, folder trees,
// the loose files of a maker folder beside another product, and the shortcuts.
#include <algorithm>

#include "install_test_support.h"
#include "platform/protected_folders.h"
#include "uninstall/uninstall_steps.h"

namespace {

using namespace installtest;

class UninstallStepsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fillProductProfile(kDefaultBaseUrl);
        useScratchDesktop();
        removeInstallationLeftovers();
    }
    void TearDown() override { removeInstallationLeftovers(); }
};

TEST_F(UninstallStepsTest, OnlyInstallationFoldersMayBeRemoved) {
    const std::wstring sep(1, platform::kPathSeparator);
    EXPECT_TRUE(isRemovableInstallationFolder(profile().korvane.installFolder));
    EXPECT_TRUE(isRemovableInstallationFolder(profile().korvane.makerFolder));
    EXPECT_TRUE(isRemovableInstallationFolder(wide(makerFolder() / "Vantrel SSD")));

    const std::wstring root = wide(installFolder().root_path());
    const std::wstring programs = platform::programFilesX86Folder();
    std::vector<std::wstring> refused = {
        L"",
        L"SSD Helmsight" + sep,
        L"." + sep,
        root,
        programs,
        programs + sep,
        profile().korvane.makerFolder + L".." + sep,
        profile().korvane.installFolder + L".." + sep + L".." + sep,
        wide(toPath(programs).parent_path()),
        platform::systemFolder(),
        desktopFolder(),
        commonProgramsFolder(),
    };
    if (windowsBuild()) {
        refused.push_back(L"C:");  // the current folder of drive C:, not a path
        std::wstring upper = programs;
        std::transform(upper.begin(), upper.end(), upper.begin(), ::towupper);
        refused.push_back(upper);
    }
    for (const std::wstring& known : platform::wellKnownFolders()) {
        refused.push_back(known);
    }
    for (const std::wstring& path : refused) {
        EXPECT_FALSE(isRemovableInstallationFolder(path)) << platform::wideToUtf8(path);
    }
}

TEST_F(UninstallStepsTest, TreeIsRemovedWithEverythingBelowIt) {
    writeFile(installFolder() / "Helmsight.exe", "app");
    writeFile(installFolder() / "drivers" / "deep" / "file.sys", "d");

    removeFolderTree(profile().korvane.installFolder);

    EXPECT_FALSE(fs::exists(installFolder()));
    EXPECT_TRUE(fs::exists(makerFolder()));
    removeFolderTree(profile().korvane.installFolder);  // already gone: nothing to do
    removeFolderTree(L"");
}

TEST_F(UninstallStepsTest, ProtectedFolderIsLeftAlone) {
    const fs::path programs = toPath(platform::programFilesX86Folder());
    const fs::path marker = programs / "helmsight-uninstall-guard.txt";
    writeFile(marker, "must stay");

    removeFolderTree(platform::programFilesX86Folder());
    deleteFilesInFolder(platform::programFilesX86Folder() + platform::kPathSeparator);

    EXPECT_EQ(readFile(marker), "must stay");
    fs::remove(marker);
}

TEST_F(UninstallStepsTest, LooseFilesGoSubfoldersStay) {
    writeFile(makerFolder() / "loose.log", "l");
    writeFile(makerFolder() / "Other Product" / "other.exe", "o");
    writeFile(installFolder() / "Helmsight.exe", "app");

    deleteFilesInFolder(profile().korvane.makerFolder);

    EXPECT_FALSE(fs::exists(makerFolder() / "loose.log"));
    EXPECT_EQ(readFile(makerFolder() / "Other Product" / "other.exe"), "o");
    EXPECT_TRUE(fs::exists(installFolder() / "Helmsight.exe"));
}

TEST_F(UninstallStepsTest, ShortcutsOfBothBrandsAreRemoved) {
    const std::wstring ext = platform::kShortcutExtension;
    const std::vector<std::wstring> removed = {
        desktopFolder() + L"Helmsight" + ext,
        desktopFolder() + L"Korvane SSD Helmsight" + ext,
        desktopFolder() + L"Vantrel SSD Helmsight" + ext,
        commonProgramsFolder() + L"Helmsight" + ext,
    };
    const std::vector<std::wstring> kept = {
        desktopFolder() + L"Other" + ext,
        commonProgramsFolder() + L"Korvane SSD Helmsight" + ext,
    };
    for (const std::wstring& path : removed) {
        writeFile(toPath(path), "link");
    }
    for (const std::wstring& path : kept) {
        writeFile(toPath(path), "link");
    }

    removeShortcuts();
    removeShortcuts();  // none left: nothing to do

    for (const std::wstring& path : removed) {
        EXPECT_FALSE(fs::exists(toPath(path))) << platform::wideToUtf8(path);
    }
    for (const std::wstring& path : kept) {
        EXPECT_TRUE(fs::exists(toPath(path))) << platform::wideToUtf8(path);
        fs::remove(toPath(path));
    }
}

}  // namespace
