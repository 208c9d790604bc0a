// The uninstall worker run for real: the application stopped, the installation folders of
// both brands, the loose files beside them, the shortcuts and the registry record removed,
// and always 100 at the end.
#include <cstdlib>
#include <thread>

#include "install/process_runner.h"
#include "install_registry_support.h"
#include "install_test_support.h"
#include "link_test_support.h"
#include "registry/install_record.h"
#include "uninstall/uninstall_worker.h"

namespace {

using namespace installtest;
using linktest::makeLink;

class UninstallWorkerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fillProductProfile(kDefaultBaseUrl);
        useScratchDesktop();
        removeInstallationLeftovers();
        removeRecordKeys();
        removeTree(vantrelFolder());
    }
    void TearDown() override {
        removeInstallationLeftovers();
        removeRecordKeys();
        removeTree(vantrelFolder());
    }

    static fs::path vantrelFolder() {
        return makerFolder().parent_path().parent_path() / "Vantrel";
    }

    // A complete Korvane installation as the install worker leaves it.
    void recordKorvaneInstallation() {
        writeFile(installFolder() / "Helmsight.exe", "app");
        writeFile(installFolder() / "drivers" / "tolvar.sys", "driver");
        writeRegistryDword(productKey(L"Korvane"), L"IsInstalled", kInstalledComplete);
        writeRegistryText(productKey(L"Korvane"), L"InstallPath", profile().korvane.installFolder);
        writeRegistryText(productKey(L"Korvane"), L"CurrentCulture", L"de-DE");
        writeRegistryText(uninstallKey(L"Korvane SSD Helmsight"), L"DisplayVersion", L"5.0.1.2");
        for (const std::wstring& folder : {desktopFolder(), commonProgramsFolder()}) {
            writeFile(toPath(folder + shortcutFileName()), "link");
        }
    }

    static void runToTheEnd(UninstallWorker& worker) {
        worker.run();
        EXPECT_EQ(worker.progress.load(), 100);
    }
};

TEST_F(UninstallWorkerTest, RemovesTheInstallationAndStopsTheApplication) {
    recordKorvaneInstallation();
    writeFile(makerFolder() / "loose.log", "loose");
    writeFile(makerFolder() / "Other Product" / "other.exe", "other");
    // The application runs from the installation folder until it is stopped.
    writeFile(installFolder() / "Helmsight.exe.hold", "");
    placeStandin(installFolder(), L"Helmsight.exe");
    std::thread application(
        [] { runAndWait(L"\"" + profile().korvane.installFolder + L"Helmsight.exe\""); });
    ASSERT_TRUE(waitForFile(installFolder() / "Helmsight.exe.started"));

    UninstallWorker worker;
    runToTheEnd(worker);
    application.join();  // returns only because the worker ended the program

    EXPECT_FALSE(fs::exists(installFolder()));
    EXPECT_FALSE(fs::exists(makerFolder() / "loose.log"));
    EXPECT_EQ(readFile(makerFolder() / "Other Product" / "other.exe"), "other");
    EXPECT_FALSE(fs::exists(toPath(desktopFolder() + shortcutFileName())));
    EXPECT_FALSE(fs::exists(toPath(commonProgramsFolder() + shortcutFileName())));
    EXPECT_EQ(installRecord().getInstalledState(Brand::Korvane), kInstalledAbsent);
    EXPECT_FALSE(recordKeyExists(uninstallKey(L"Korvane SSD Helmsight")));
    // The language survives the uninstallation.
    EXPECT_EQ(installRecord().getCurrentCulture(), L"de-DE");
}

TEST_F(UninstallWorkerTest, FileThatCannotBeDeletedStopsOnlyItsFolder) {
    recordKorvaneInstallation();
    const fs::path stuck = installFolder() / "drivers" / "tolvar.sys";
    std::ofstream holder;
    bool immutable = false;
    if (windowsBuild()) {
        holder.open(stuck, std::ios::binary | std::ios::app);  // open without delete sharing
    } else {
        const std::string command = "chattr +i '" + stuck.string() + "' 2>/dev/null";
        immutable = std::system(command.c_str()) == 0;
        if (!immutable) {
            GTEST_SKIP() << "this file system cannot mark a file undeletable";
        }
    }

    UninstallWorker worker;
    runToTheEnd(worker);

    EXPECT_TRUE(fs::exists(stuck));
    EXPECT_FALSE(fs::exists(toPath(desktopFolder() + shortcutFileName())));
    EXPECT_EQ(installRecord().getInstalledState(Brand::Korvane), kInstalledAbsent);
    holder.close();
    if (immutable) {
        std::system(("chattr -i '" + stuck.string() + "'").c_str());
    }
}

TEST_F(UninstallWorkerTest, VantrelOnlyInstallation) {
    const fs::path folder = vantrelFolder() / "SSD Helmsight";
    writeFile(folder / "VantrelSSDHelmsight.exe", "app");
    writeFile(vantrelFolder() / "loose.txt", "loose");
    writeRegistryDword(productKey(L"Vantrel"), L"IsInstalled", kInstalledComplete);
    writeRegistryText(productKey(L"Vantrel"), L"InstallPath",
                      wide(folder) + platform::kPathSeparator);
    writeRegistryText(uninstallKey(L"Vantrel SSD Helmsight"), L"DisplayVersion", L"4.2");
    writeFile(toPath(desktopFolder() + L"Vantrel SSD Helmsight" + platform::kShortcutExtension),
              "link");

    UninstallWorker worker;
    runToTheEnd(worker);

    EXPECT_FALSE(fs::exists(folder));
    EXPECT_FALSE(fs::exists(vantrelFolder() / "loose.txt"));
    EXPECT_FALSE(fs::exists(
        toPath(desktopFolder() + L"Vantrel SSD Helmsight" + platform::kShortcutExtension)));
    EXPECT_EQ(installRecord().getInstalledState(Brand::Vantrel), kInstalledAbsent);
    EXPECT_FALSE(recordKeyExists(uninstallKey(L"Vantrel SSD Helmsight")));
    EXPECT_FALSE(recordKeyExists(productKey(L"Vantrel")));
}

// A damaged InstallPath must not cost the disk: roots and well-known folders stay.
TEST_F(UninstallWorkerTest, DamagedInstallPathDeletesNothingOutsideAnInstallation) {
    const fs::path programs = toPath(platform::programFilesX86Folder());
    writeFile(programs / "helmsight-guard.txt", "stay");
    writeFile(installFolder() / "Helmsight.exe", "app");
    const std::wstring sep(1, platform::kPathSeparator);
    for (const std::wstring& damaged :
         {platform::programFilesX86Folder() + sep, wide(programs.root_path()),
          platform::programFilesX86Folder() + sep + L"SSD Helmsight" + sep, std::wstring(L".")}) {
        writeRegistryDword(productKey(L"Korvane"), L"IsInstalled", kInstalledComplete);
        writeRegistryText(productKey(L"Korvane"), L"InstallPath", damaged);

        UninstallWorker worker;
        runToTheEnd(worker);

        EXPECT_EQ(readFile(programs / "helmsight-guard.txt"), "stay")
            << platform::wideToUtf8(damaged);
        EXPECT_TRUE(fs::exists(installFolder() / "Helmsight.exe"));
    }
    fs::remove(programs / "helmsight-guard.txt");
}

// The attack: a link in the installation folder, or the installation folder itself a link,
// leading to a folder outside. The uninstallation removes the links; the outside file stays.
TEST_F(UninstallWorkerTest, LinksLeadingOutsideAreRemovedAndNotFollowed) {
    const fs::path outside = vantrelFolder() / "Documents";
    writeFile(outside / "letter.txt", "keep me");
    const fs::path aside = makerFolder().parent_path().parent_path() / "Korvane Aside";
    for (bool folderIsLink : {false, true}) {
        recordKorvaneInstallation();
        if (folderIsLink) {
            removeTree(aside);
            fs::rename(installFolder(), aside);
        }
        const fs::path link =
            folderIsLink ? installFolder().parent_path() : installFolder() / "docs";
        if (!makeLink(outside, link)) {
            GTEST_SKIP() << "no symbolic links here";
        }

        UninstallWorker worker;
        runToTheEnd(worker);

        EXPECT_EQ(readFile(outside / "letter.txt"), "keep me") << folderIsLink;
        EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << folderIsLink;
        EXPECT_FALSE(fs::exists(fs::symlink_status(installFolder().parent_path())));
    }
    removeTree(aside);
}

// Only a recorded path whose last component is the product folder is an installation: any
// other folder stays even where the deny-list would let it go. The maker folder whose loose
// files go is the parent of the product folder.
TEST_F(UninstallWorkerTest, OnlyAPathNamingTheProductFolderIsDeleted) {
    const std::wstring sep(1, platform::kPathSeparator);
    const std::wstring maker = profile().korvane.makerFolder;
    const std::wstring install = profile().korvane.installFolder;
    const std::wstring lower = maker + L"ssd helmsight" + sep;
    struct Case {
        std::wstring installPath;
        fs::path removed;  // empty: nothing is deleted
    };
    const std::vector<Case> cases = {
        {maker + L"Other Product" + sep, {}},
        {maker + L"Other Product", {}},
        {install + L"..", {}},
        {install + L".." + sep, {}},
        {install + L"drivers" + sep, {}},
        {install + L"." + sep, {}},
        {maker + L"SSD Helmsight Backup" + sep, {}},
        {maker + L"My SSD Helmsight" + sep, {}},
        {install, installFolder()},
        {install.substr(0, install.size() - 1), installFolder()},
        {lower, windowsBuild() ? installFolder() : fs::path()},
    };
    for (const Case& c : cases) {
        writeFile(installFolder() / "Helmsight.exe", "app");
        writeFile(installFolder() / "drivers" / "tolvar.sys", "driver");
        writeFile(makerFolder() / "Other Product" / "other.exe", "other");
        writeFile(makerFolder() / "SSD Helmsight Backup" / "old.exe", "old");
        writeFile(makerFolder() / "My SSD Helmsight" / "mine.exe", "mine");
        if (!windowsBuild()) {
            writeFile(makerFolder() / "ssd helmsight" / "lower.exe", "lower");
        }
        writeFile(makerFolder() / "loose.log", "loose");
        writeRegistryDword(productKey(L"Korvane"), L"IsInstalled", kInstalledComplete);
        writeRegistryText(productKey(L"Korvane"), L"InstallPath", c.installPath);

        UninstallWorker worker;
        runToTheEnd(worker);

        const std::string label = platform::wideToUtf8(c.installPath);
        const bool removed = !c.removed.empty();
        EXPECT_EQ(fs::exists(installFolder()), !removed) << label;
        EXPECT_EQ(fs::exists(makerFolder() / "loose.log"), !removed) << label;
        EXPECT_EQ(readFile(makerFolder() / "Other Product" / "other.exe"), "other") << label;
        EXPECT_EQ(readFile(makerFolder() / "SSD Helmsight Backup" / "old.exe"), "old") << label;
        EXPECT_EQ(readFile(makerFolder() / "My SSD Helmsight" / "mine.exe"), "mine") << label;
        if (!windowsBuild()) {
            EXPECT_EQ(readFile(makerFolder() / "ssd helmsight" / "lower.exe"), "lower") << label;
        }
        if (!removed) {
            EXPECT_EQ(readFile(installFolder() / "drivers" / "tolvar.sys"), "driver") << label;
        }
    }
}

TEST_F(UninstallWorkerTest, NothingToDoStillReports100) {
    writeFile(installFolder() / "Helmsight.exe", "app");
    writeRegistryDword(productKey(L"Korvane"), L"IsInstalled", 0);
    writeRegistryDword(productKey(L"Vantrel"), L"IsInstalled", 0);
    writeRegistryText(productKey(L"Korvane"), L"InstallPath", profile().korvane.installFolder);

    UninstallWorker worker;
    runToTheEnd(worker);

    EXPECT_TRUE(fs::exists(installFolder() / "Helmsight.exe"));
    EXPECT_EQ(installRecord().getInstalledState(Brand::Korvane), 0);
}

}  // namespace
