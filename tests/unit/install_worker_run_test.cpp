// Installations from start to end against the download server of
// tests/system/test_install_worker.sh: fixture packages packed with 7-Zip whose
// stand-in installers log how they were started, both progress scales (Windows
// 10 under Wine, the earlier-Windows scale on Linux), the alternate package,
// every cancel point, and packages that must not count as installed.
#include <algorithm>
#include <atomic>
#include <set>
#include <thread>

#include "core/exit_codes.h"
#include "install/install_worker.h"
#include "install_registry_support.h"
#include "install_server_support.h"
#include "install_test_support.h"
#include "platform/working_folder.h"
#include "registry/install_record.h"

namespace {

using namespace installtest;

const wchar_t* const kVersion = L"5.0.1.2";

class InstallRunTest : public ServerTest {
  protected:
    void SetUp() override {
        ServerTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        useScratchDesktop();
        savedFolder_ = platform::currentFolder();
        removeInstallationLeftovers();
        removeRecordKeys();
        packages_ = scratch_ / "packages";
        removeTree(root_ / "kvrHelmsight" / "application");  // the packages of earlier tests
    }
    void TearDown() override {
        if (!savedFolder_.empty()) {
            platform::setCurrentFolder(savedFolder_);
            removeInstallationLeftovers();
            removeRecordKeys();
        }
        ServerTest::TearDown();
    }

    // A package on the server: stand-ins under the given names, packed with
    // 7-Zip.
    void servePackage(const std::wstring& zipName, const std::vector<std::wstring>& programs,
                      size_t paddingBytes = 0) {
        const fs::path content = packages_ / toPath(zipName);
        removeTree(content);
        for (const std::wstring& program : programs) {
            placeStandin(content, program);
        }
        if (paddingBytes > 0) {
            writeFile(content / "data" / "padding.bin", patternBytes(paddingBytes));
        }
        const fs::path zip = packages_ / (toPath(zipName).string() + ".packed");
        packFolder(content, zip, packages_ / "tool");
        const fs::path served =
            root_ / "kvrHelmsight" / "application" / toPath(kVersion) / toPath(zipName);
        fs::create_directories(served.parent_path());
        fs::copy_file(zip, served, fs::copy_options::overwrite_existing);
    }

    void serveFullPackage(size_t paddingBytes = 0) {
        servePackage(L"Helmsight.zip",
                     {L"Helmsight.exe", L"VC_redist.x86.exe", L"tolvar_hal_setup.exe",
                      L"mirrane_hal_setup.exe"},
                     paddingBytes);
    }

    // Runs the worker on its own thread and notes every progress value it shows.
    void start() {
        worker_ = std::make_unique<InstallWorker>(Version(kVersion));
        done_ = false;
        thread_ = std::thread([this] {
            worker_->run();
            done_ = true;
        });
        watcher_ = std::thread([this] {
            int32_t last = -1;
            while (true) {
                const bool finished = done_.load();
                const int32_t value = worker_->progress.load();
                if (value != last) {
                    seen_.push_back(value);
                    last = value;
                }
                if (finished) {
                    break;
                }
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        });
    }
    void finish() {
        thread_.join();
        watcher_.join();
    }
    bool waitForProgress(int32_t value) {
        for (int i = 0; i < 60 * 1000 && !done_; ++i) {
            if (worker_->progress.load() == value) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return worker_->progress.load() == value;
    }

    static int32_t scale(int32_t windows10, int32_t earlier) {
        return windowsBuild() ? windows10 : earlier;
    }

    std::vector<StandinRun> installerRuns() const { return standinLog(installFolder()); }
    bool ran(const std::string& program) const {
        const auto runs = installerRuns();
        return std::any_of(runs.begin(), runs.end(),
                           [&](const StandinRun& run) { return run.program == program; });
    }

    std::wstring savedFolder_;
    fs::path packages_;
    std::unique_ptr<InstallWorker> worker_;
    std::thread thread_;
    std::thread watcher_;
    std::atomic<bool> done_{false};
    std::vector<int32_t> seen_;
};

TEST_F(InstallRunTest, CompleteInstallation) {
    serveFullPackage();
    // Programs planted where an unquoted command line would find them first.
    placeStandin(makerFolder(), windowsBuild() ? L"SSD.exe" : L"SSD");
    // The stand-ins hold, so that each stage's progress can be seen while it
    // runs.
    writeFile(installFolder() / "VC_redist.x86.exe.hold", "");
    writeFile(installFolder() / "tolvar_hal_setup.exe.hold", "");

    start();
    ASSERT_TRUE(waitForFile(installFolder() / "VC_redist.x86.exe.started"));
    EXPECT_EQ(worker_->progress.load(), scale(50, 85));
    fs::remove(installFolder() / "VC_redist.x86.exe.hold");
    if (windowsBuild()) {
        ASSERT_TRUE(waitForFile(installFolder() / "tolvar_hal_setup.exe.started"));
        EXPECT_EQ(worker_->progress.load(), 60);
    }
    fs::remove(installFolder() / "tolvar_hal_setup.exe.hold");
    finish();

    // Every value shown belongs to this system's scale, in order, ending at 100.
    const std::vector<int32_t> expected =
        windowsBuild() ? std::vector<int32_t>{10, 15, 20, 30, 40, 50, 60, 80, 100}
                       : std::vector<int32_t>{25, 35, 40, 55, 70, 85, 100};
    std::vector<int32_t> shown(seen_.begin() + (seen_.front() == 0 ? 1 : 0), seen_.end());
    EXPECT_TRUE(std::includes(expected.begin(), expected.end(), shown.begin(), shown.end()))
        << ::testing::PrintToString(shown);
    EXPECT_EQ(shown.back(), 100);
    EXPECT_EQ(installRecord().getInstalledState(Brand::Korvane), kInstalledComplete);

    // The prerequisite installers, started with quoted paths in the installation
    // folder.
    const std::vector<StandinRun> runs = installerRuns();
    ASSERT_EQ(runs.size(), windowsBuild() ? 2u : 1u);
    EXPECT_EQ(runs[0].program, "VC_redist.x86.exe");
    EXPECT_EQ(runs[0].arguments, "/quiet /norestart");
    EXPECT_TRUE(sameFolder(runs[0].workingFolder, installFolder())) << runs[0].workingFolder;
    if (windowsBuild()) {
        EXPECT_EQ(runs[1].program, "tolvar_hal_setup.exe");
        EXPECT_EQ(runs[1].arguments, "/install /quiet /norestart");
    }
    EXPECT_TRUE(standinLog(makerFolder()).empty()) << "a planted program ran";
    EXPECT_FALSE(ran("mirrane_hal_setup.exe")) << "no older driver package to remove";

    // The folder: the application, the archiver; no archive, no batch file.
    EXPECT_TRUE(fs::exists(installFolder() / "Helmsight.exe"));
    EXPECT_FALSE(fs::exists(installFolder() / "Helmsight.zip"));
    EXPECT_FALSE(fs::exists(installFolder() / "unzip.bat"));
    platform::ShortcutProperties link;
    ASSERT_TRUE(platform::readShortcut(desktopFolder() + shortcutFileName(), link));
    EXPECT_EQ(link.target, profile().korvane.installFolder + L"Helmsight.exe");
    ASSERT_TRUE(platform::readShortcut(commonProgramsFolder() + shortcutFileName(), link));

    // The record and the uninstall entry, with a quoted uninstall command.
    EXPECT_EQ(installRecord().getInstallPath(Brand::Korvane), profile().korvane.installFolder);
    EXPECT_EQ(installRecord().getDisplayVersion().text(), kVersion);
    EXPECT_EQ(installRecord().getCurrentVersion().text(), kVersion);
    const std::wstring entry = uninstallKey(L"Korvane SSD Helmsight");
    EXPECT_EQ(
        readRegistryText(entry, L"UninstallString"),
        L"\"" + profile().korvane.installFolder + profile().setupFileName + L"\" -uninstall ");
    EXPECT_EQ(readRegistryText(entry, L"DisplayName"), L"Helmsight");
    EXPECT_EQ(readRegistryText(entry, L"DisplayIcon"),
              profile().korvane.installFolder + L"Helmsight.exe");
    EXPECT_EQ(readRegistryText(entry, L"InstallSource"),
              profile().korvane.installFolder + profile().setupFileName);
    EXPECT_EQ(readRegistryText(entry, L"Publisher"), L"Korvane Corporation");
    EXPECT_EQ(readRegistryText(productKey(L"Korvane"), L"IsCachePolicy"), L"0");
}

TEST_F(InstallRunTest, AlternatePackageName) {
    servePackage(L"KorvaneHelmsight.zip", {L"KorvaneSSDHelmsight.exe", L"VC_redist.x86.exe"});

    start();
    finish();

    EXPECT_EQ(worker_->progress.load(), 100);
    EXPECT_TRUE(fs::exists(installFolder() / "KorvaneSSDHelmsight.exe"));
    EXPECT_FALSE(fs::exists(installFolder() / "KorvaneHelmsight.zip"));
    platform::ShortcutProperties link;
    ASSERT_TRUE(platform::readShortcut(desktopFolder() + shortcutFileName(), link));
    EXPECT_EQ(link.target, profile().korvane.installFolder + L"KorvaneSSDHelmsight.exe");
    EXPECT_EQ(installRecord().getInstalledState(Brand::Korvane), kInstalledComplete);
    EXPECT_TRUE(ran("VC_redist.x86.exe"));
}

TEST_F(InstallRunTest, OldDriverPackageIsRemovedWhenItsMarkerExists) {
    if (!windowsBuild()) {
        GTEST_SKIP() << "the Linux build runs no driver installers";
    }
    serveFullPackage();
    platform::RegistryHandle key;
    ASSERT_EQ(platform::regCreateKey(platform::RegistryRoot::ClassesRoot, kOldDriverMarkerKey,
                                     platform::kKeyAllAccess, key),
              platform::kRegistrySuccess);
    key.close();
    writeFile(installFolder() / "mirrane_hal_setup.exe.hold", "");

    start();
    ASSERT_TRUE(waitForFile(installFolder() / "mirrane_hal_setup.exe.started"));
    EXPECT_EQ(worker_->progress.load(), 80);
    fs::remove(installFolder() / "mirrane_hal_setup.exe.hold");
    finish();

    const std::vector<StandinRun> runs = installerRuns();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[2].program, "mirrane_hal_setup.exe");
    EXPECT_EQ(runs[2].arguments, "/uninstall /quiet /norestart");
    EXPECT_EQ(worker_->progress.load(), 100);

    // With QZ4100 hardware detected the older package is never removed.
    platform::setCurrentFolder(savedFolder_);
    removeInstallationLeftovers();
    writeRegistryDword(L"SOFTWARE\\Korvane\\Permanent", L"QZ4100Detected", 1);
    start();
    finish();
    EXPECT_TRUE(ran("tolvar_hal_setup.exe"));
    EXPECT_FALSE(ran("mirrane_hal_setup.exe"));
}

TEST_F(InstallRunTest, CancelDuringTheDownload) {
    serveFullPackage(256 * 1024);
    setRules({"application/5.0.1.2/Helmsight.zip=hold:8192"});

    start();
    ASSERT_TRUE(waitForProgress(scale(15, 35)));
    ASSERT_TRUE(waitForFile(installFolder() / "Helmsight.zip"));
    worker_->requestCancel();
    releaseHolds();
    finish();

    EXPECT_EQ(worker_->progress.load(), scale(15, 35));
    EXPECT_TRUE(fs::exists(installFolder() / "Helmsight.zip")) << "the partial archive stays";
    EXPECT_FALSE(fs::exists(installFolder() / "Helmsight.exe")) << "nothing unpacked";
    EXPECT_EQ(installRecord().getInstalledState(Brand::Korvane), kInstalledStarted);
}

// Unpacking and the shortcuts finish; the uninstall entry is never written.
TEST_F(InstallRunTest, CancelDuringUnpacking) {
    serveFullPackage(48 * 1024 * 1024);

    start();
    ASSERT_TRUE(waitForProgress(scale(20, 40)));
    worker_->requestCancel();
    finish();

    EXPECT_EQ(worker_->progress.load(), scale(30, 55));
    EXPECT_TRUE(fs::exists(installFolder() / "Helmsight.exe"));
    EXPECT_TRUE(fs::exists(toPath(desktopFolder() + shortcutFileName())));
    EXPECT_TRUE(installRecord().getDisplayVersion().isEmpty());
    EXPECT_FALSE(ran("VC_redist.x86.exe"));
    EXPECT_EQ(installRecord().getInstalledState(Brand::Korvane), kInstalledStarted);
}

TEST_F(InstallRunTest, CancelWhileThePrerequisiteInstallerRuns) {
    serveFullPackage();
    writeFile(installFolder() / "VC_redist.x86.exe.hold", "");

    start();
    ASSERT_TRUE(waitForFile(installFolder() / "VC_redist.x86.exe.started"));
    worker_->requestCancel();
    fs::remove(installFolder() / "VC_redist.x86.exe.hold");
    finish();

    EXPECT_EQ(worker_->progress.load(), scale(50, 85));
    EXPECT_FALSE(ran("tolvar_hal_setup.exe"));
    EXPECT_EQ(installRecord().getDisplayVersion().text(), kVersion);
    EXPECT_EQ(installRecord().getInstalledState(Brand::Korvane), kInstalledStarted);
}

// After the runtime installer there is no cancel test: the driver stages run to
// the end.
TEST_F(InstallRunTest, CancelDuringTheDriverStageCompletes) {
    if (!windowsBuild()) {
        GTEST_SKIP() << "the Linux build runs no driver installers";
    }
    serveFullPackage();
    writeFile(installFolder() / "tolvar_hal_setup.exe.hold", "");

    start();
    ASSERT_TRUE(waitForFile(installFolder() / "tolvar_hal_setup.exe.started"));
    worker_->requestCancel();
    fs::remove(installFolder() / "tolvar_hal_setup.exe.hold");
    finish();

    EXPECT_EQ(worker_->progress.load(), 100);
    EXPECT_EQ(installRecord().getInstalledState(Brand::Korvane), kInstalledComplete);
}

// A package that leaves no application behind fails the installation: exit code
// 2, and the record keeps "Started" so that the next run offers to install
// again.
TEST_F(InstallRunTest, PackageWithoutTheApplicationFails) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    servePackage(L"Helmsight.zip", {L"VC_redist.x86.exe"});
    EXPECT_EXIT(InstallWorker(Version(kVersion)).run(), ::testing::ExitedWithCode(kExitFailure),
                english_ && !windowsBuild() ? "Error: Failed to unpack Helmsight.zip" : "");
    EXPECT_EQ(installRecord().getInstalledState(Brand::Korvane), kInstalledStarted);
    EXPECT_FALSE(ran("VC_redist.x86.exe"));
}

TEST_F(InstallRunTest, HostilePackageFailsAndWritesNothingOutside) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const fs::path served = root_ / "kvrHelmsight" / "application" / toPath(kVersion);
    writeZip(served / "Helmsight.zip",
             {{"Helmsight.exe", "app"}, {"../escape.exe", "x"}, {"sub/../../../escape.txt", "x"}});
    EXPECT_EXIT(InstallWorker(Version(kVersion)).run(), ::testing::ExitedWithCode(kExitFailure),
                "");
    EXPECT_FALSE(fs::exists(makerFolder() / "escape.exe"));
    EXPECT_FALSE(fs::exists(makerFolder().parent_path().parent_path() / "escape.txt"));
    EXPECT_FALSE(fs::exists(installFolder() / "Helmsight.exe"));
}

TEST_F(InstallRunTest, PackageThatCannotBeDownloadedFails) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(InstallWorker(Version(L"9.9.9.9")).run(), ::testing::ExitedWithCode(kExitFailure),
                "");
    EXPECT_EQ(installRecord().getInstalledState(Brand::Korvane), kInstalledStarted);
}

}  // namespace
