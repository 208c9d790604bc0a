// The install worker run for real in the installation folder. The runs that download a
// package are in install_worker_run_test.cpp; these need no server.
#include "install/install_worker.h"
#include "core/exit_codes.h"
#include "install_test_support.h"
#include "platform/working_folder.h"

namespace {

using namespace installtest;

class InstallWorkerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fillProductProfile(kDefaultBaseUrl);
        useScratchDesktop();
        savedFolder_ = platform::currentFolder();
        removeInstallationLeftovers();
    }
    void TearDown() override {
        // The worker makes the installation folder the process's current folder.
        platform::setCurrentFolder(savedFolder_);
        removeInstallationLeftovers();
    }
    std::wstring savedFolder_;
};

TEST_F(InstallWorkerTest, CancelBeforeTheStartStopsAfterTheFirstStage) {
    InstallWorker worker(Version(L"5.0.1.2"));
    worker.requestCancel();

    worker.run();

    EXPECT_EQ(worker.progress.load(), windowsBuild() ? 10 : 25);
    EXPECT_TRUE(sameFolder(toPath(platform::currentFolder()), installFolder()));
    EXPECT_EQ(fs::exists(installFolder() / "7za.exe"), windowsBuild());
    EXPECT_FALSE(fs::exists(installFolder() / "Helmsight.zip")) << "no download after a cancel";
}

TEST_F(InstallWorkerTest, FolderThatCannotBeCreatedEndsTheRunWithFailure) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // A file where the maker folder belongs.
    const fs::path maker = makerFolder().parent_path();
    writeFile(maker, "not a folder");
    EXPECT_EXIT(InstallWorker(Version(L"5.0.1.2")).run(), ::testing::ExitedWithCode(kExitFailure),
                windowsBuild() ? "" : "SSD Helmsight");
    fs::remove(maker);
}

}  // namespace
