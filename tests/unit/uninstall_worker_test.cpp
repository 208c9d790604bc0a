// The uninstall worker run for real: the application stopped, the installation folders of
// both brands, the loose files beside them, the shortcuts and the registry record removed,
// and always 100 at the end.
#include <cstdlib>
#include <thread>

#include "install/process_runner.h"
#include "install_registry_support.h"
#include "install_test_support.h"
#include "registry/install_record.h"
#include "uninstall/uninstall_worker.h"

namespace {

using namespace installtest;

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
