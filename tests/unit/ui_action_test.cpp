// The steps of the action sequence that need no worker, without a window (console mode):
// Finish and Quit end the process with their codes after making the installation folder, a
// folder that cannot be made ends the run with the failure code, the setup program lands in the
// installation folder, and the application is started under either of its names.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <thread>

#include "core/product_profile.h"
#include "core/session_state.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/running_image.h"
#include "ui/action_sequence.h"

namespace fs = std::filesystem;

namespace {

fs::path installFolder() {
    return platform::toPath(profile().korvane.installFolder);
}

fs::path makerFolder() {
    return platform::toPath(profile().korvane.makerFolder);
}

// Removes what a test made of the maker and installation folders (they may be shared with the
// other tests of this build), and nothing that was there before.
class ActionSequenceTest : public testing::Test {
  protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        fillProductProfile(L"http://127.0.0.1:9/");
        std::error_code error;
        makerExisted_ = fs::exists(makerFolder(), error);
        installExisted_ = fs::exists(installFolder(), error);
        session().startedWork = StartedWork::None;
    }
    void TearDown() override {
        std::error_code error;
        if (!makerExisted_) {
            fs::remove_all(makerFolder(), error);
        } else if (!installExisted_) {
            fs::remove_all(installFolder(), error);
        }
        session().pendingAction = PendingAction::Install;
        session().startedWork = StartedWork::None;
    }
    void removeInstallFolder() {
        std::error_code error;
        fs::remove_all(installFolder(), error);
        ASSERT_FALSE(fs::exists(installFolder(), error));
    }

    bool makerExisted_ = false;
    bool installExisted_ = false;
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool waitForFile(const fs::path& path) {
    for (int i = 0; i < 300; ++i) {
        std::error_code error;
        if (fs::exists(path, error)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

// The stand-in application (the helmsight-touch-marker test tool), beside this test binary.
fs::path markerTool() {
    const fs::path self = platform::toPath(platform::ownModulePath());
    return self.parent_path() / (std::string("helmsight-touch-marker") + self.extension().string());
}

TEST_F(ActionSequenceTest, QuitMakesTheFolderAndEndsWithOne) {
    if (!installExisted_) {
        removeInstallFolder();
    }
    session().pendingAction = PendingAction::Quit;
    EXPECT_EXIT(runPendingAction(nullptr), testing::ExitedWithCode(1), "");
    EXPECT_TRUE(fs::is_directory(installFolder()));
}

TEST_F(ActionSequenceTest, FinishWithoutWorkEndsWithZeroAndLaunchesNothing) {
    removeInstallFolder();
    session().pendingAction = PendingAction::Finish;
    session().startedWork = StartedWork::None;
    EXPECT_EXIT(runPendingAction(nullptr), testing::ExitedWithCode(0), "");
    EXPECT_TRUE(fs::is_directory(installFolder()));
    EXPECT_FALSE(fs::exists(installFolder() / "Helmsight.exe.launched"));
}

TEST_F(ActionSequenceTest, AFolderThatCannotBeMadeEndsWithTheFailureCode) {
    removeInstallFolder();
    std::error_code error;
    fs::create_directories(makerFolder(), error);
    // A file where the folder should be.
    const fs::path blocker = platform::toPath(profile().korvane.makerFolder + L"SSD Helmsight");
    std::ofstream(blocker) << "not a folder";
    ASSERT_TRUE(fs::is_regular_file(blocker));
    session().pendingAction = PendingAction::Finish;
    EXPECT_EXIT(ensureInstallFolder(), testing::ExitedWithCode(2), "");
    EXPECT_TRUE(fs::is_regular_file(blocker));
    fs::remove(blocker, error);
}

TEST_F(ActionSequenceTest, SetupProgramReplacesAnOlderCopy) {
    platform::holdRunningImage();
    ensureInstallFolder();
    const fs::path target = installFolder() / platform::toPath(profile().setupFileName);
    std::ofstream(target, std::ios::binary) << "an older setup program";
    copySetupToInstallFolder();
    const fs::path source = platform::toPath(profile().setupFilePath);
    EXPECT_EQ(fs::file_size(target), fs::file_size(source));
    EXPECT_EQ(readFile(target), readFile(source));
}

TEST_F(ActionSequenceTest, LaunchesTheApplicationUnderEitherName) {
    ASSERT_TRUE(fs::exists(markerTool())) << markerTool();
    ensureInstallFolder();
    const BrandProfile& k = profile().korvane;
    for (const std::wstring& name : {k.applicationFileName, k.alternateApplicationFileName}) {
        SCOPED_TRACE(platform::toPath(name).string());
        std::error_code error;
        for (const std::wstring& other : {k.applicationFileName, k.alternateApplicationFileName}) {
            fs::remove(installFolder() / platform::toPath(other), error);
            fs::remove(installFolder() / platform::toPath(other + L".launched"), error);
        }
        const fs::path program = installFolder() / platform::toPath(name);
        fs::copy_file(markerTool(), program, error);
        ASSERT_FALSE(error) << error.message();
        launchApplication();
        EXPECT_TRUE(waitForFile(installFolder() / platform::toPath(name + L".launched")));
    }
}

TEST_F(ActionSequenceTest, WaitPumpingWithoutAWindowReturns) {
    const auto start = std::chrono::steady_clock::now();
    waitPumping(0);
    waitPumping(-5);
    waitPumping(120);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(120));
}

}  // namespace
