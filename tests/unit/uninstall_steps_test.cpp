// The file steps of an uninstallation: which folders may be deleted at all, folder trees,
// the loose files of a maker folder beside another product, and the shortcuts.
#include <algorithm>

#include "install_test_support.h"
#include "link_test_support.h"
#include "platform/protected_folders.h"
#include "uninstall/uninstall_steps.h"

namespace {

using namespace installtest;
using linktest::makeLink;

class UninstallStepsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fillProductProfile(kDefaultBaseUrl);
        useScratchDesktop();
        removeInstallationLeftovers();
        writeFile(outside() / "secret.txt", "secret");
        writeFile(outside() / "inner" / "deep.txt", "deep");
    }
    void TearDown() override { removeInstallationLeftovers(); }

    // A folder beside the installation that a link may lead to and nothing may delete.
    static fs::path outside() { return makerFolder() / "outside"; }

    static void expectOutsideIntact() {
        EXPECT_EQ(readFile(outside() / "secret.txt"), "secret");
        EXPECT_EQ(readFile(outside() / "inner" / "deep.txt"), "deep");
    }
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

// Links in the tree are removed as links, never entered: what they lead to stays.
TEST_F(UninstallStepsTest, LinksInTheTreeAreRemovedNotFollowed) {
    writeFile(installFolder() / "Helmsight.exe", "app");
    const std::vector<std::pair<fs::path, fs::path>> links = {
        {installFolder() / "to-folder", outside()},
        {installFolder() / "drivers" / "to-file", outside() / "secret.txt"},
        {installFolder() / "drivers" / "relative", fs::path("..") / ".." / "outside" / "inner"},
        {installFolder() / "dangling", outside() / "missing"},
    };
    for (const auto& [link, target] : links) {
        if (!makeLink(target, link)) {
            GTEST_SKIP() << "no symbolic links here";
        }
    }

    removeFolderTree(profile().korvane.installFolder);

    EXPECT_FALSE(fs::exists(fs::symlink_status(installFolder())));
    expectOutsideIntact();
}

// An installation path that is itself a link: the link goes, not what it leads to, whether
// the deny-list would let the target be deleted or not.
TEST_F(UninstallStepsTest, InstallationFolderThatIsALinkIsRemovedAsALink) {
    const fs::path desktop = toPath(desktopFolder());
    writeFile(desktop / "on-the-desktop.txt", "mine");
    const std::wstring sep(1, platform::kPathSeparator);
    for (const fs::path& target : {outside(), desktop}) {
        for (const std::wstring& path :
             {profile().korvane.installFolder,
              wide(installFolder().parent_path())}) {  // without the separator
            if (!makeLink(target, installFolder().parent_path())) {
                GTEST_SKIP() << "no symbolic links here";
            }

            removeFolderTree(path);

            EXPECT_FALSE(fs::exists(fs::symlink_status(installFolder())))
                << target << " " << platform::wideToUtf8(path);
            expectOutsideIntact();
            EXPECT_EQ(readFile(desktop / "on-the-desktop.txt"), "mine");
        }
    }
    fs::remove(desktop / "on-the-desktop.txt");
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

// Loose files of the maker folder: a link is deleted as a link (a link to a folder on Linux;
// on Windows a folder link carries the directory attribute and stays like a folder), and a
// maker folder that is itself a link is not entered at all.
TEST_F(UninstallStepsTest, LooseFileDeletionNeverFollowsLinks) {
    writeFile(makerFolder() / "loose.log", "l");
    writeFile(makerFolder() / "Other Product" / "other.exe", "o");
    const fs::path fileLink = makerFolder() / "file-link";
    const fs::path folderLink = makerFolder() / "folder-link";
    const fs::path linkedMaker = makerFolder() / "Linked Maker";
    if (!makeLink(outside() / "secret.txt", fileLink) || !makeLink(outside(), folderLink) ||
        !makeLink(outside(), linkedMaker)) {
        GTEST_SKIP() << "no symbolic links here";
    }

    deleteFilesInFolder(wide(linkedMaker) + platform::kPathSeparator);
    expectOutsideIntact();
    EXPECT_TRUE(fs::is_symlink(linkedMaker));

    deleteFilesInFolder(profile().korvane.makerFolder);

    EXPECT_FALSE(fs::exists(makerFolder() / "loose.log"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(fileLink)));
    EXPECT_EQ(fs::exists(fs::symlink_status(folderLink)), windowsBuild());
    EXPECT_EQ(readFile(makerFolder() / "Other Product" / "other.exe"), "o");
    expectOutsideIntact();
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
