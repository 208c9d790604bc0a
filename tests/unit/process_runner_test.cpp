// The process runner: programs started hidden and waited for, paths with blanks, and ending
// every process of one program file name.
#include <thread>

#include "install/process_runner.h"
#include "install_test_support.h"
#include "platform/working_folder.h"

namespace {

using namespace installtest;

class ProcessRunnerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fillProductProfile(kDefaultBaseUrl);
        folder_ = makerFolder() / "process runner test" / "with blanks";
        removeTree(makerFolder());
        fs::create_directories(folder_);
    }
    void TearDown() override { removeTree(makerFolder()); }
    std::wstring programPath(const std::wstring& name) const {
        return wide(folder_ / toPath(name));
    }
    fs::path folder_;
};

TEST_F(ProcessRunnerTest, QuotedProgramInAFolderWithBlanksRunsAndIsWaitedFor) {
    placeStandin(folder_, L"VC_redist.x86.exe");
    const std::wstring before = platform::currentFolder();

    runAndWait(L"\"" + programPath(L"VC_redist.x86.exe") + L"\" /quiet /norestart");

    // Waited for: the program has logged and ended by itself before the call returned.
    EXPECT_TRUE(fs::exists(folder_ / "VC_redist.x86.exe.finished"));
    const std::vector<StandinRun> runs = standinLog(folder_);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].program, "VC_redist.x86.exe");
    EXPECT_EQ(runs[0].arguments, "/quiet /norestart");
    EXPECT_TRUE(sameFolder(runs[0].workingFolder, toPath(before))) << "the caller's folder";
}

TEST_F(ProcessRunnerTest, ProgramThatCannotStartIsPassedOver) {
    runAndWait(L"\"" + programPath(L"missing.exe") + L"\" /quiet");
    runAndWait(L"");
    EXPECT_FALSE(platform::runHiddenAndWait(L"\"" + programPath(L"missing.exe") + L"\""));
    EXPECT_TRUE(standinLog(folder_).empty());
}

TEST_F(ProcessRunnerTest, WorkingFolderIsHandedToTheProgram) {
    placeStandin(folder_, L"tool.exe");
    ASSERT_TRUE(platform::runHiddenAndWait(L"\"" + programPath(L"tool.exe") + L"\" a \"b c\"",
                                           wide(folder_)));
    const std::vector<StandinRun> runs = standinLog(folder_);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].arguments, "a b c");
    EXPECT_TRUE(sameFolder(runs[0].workingFolder, folder_)) << runs[0].workingFolder;
}

TEST_F(ProcessRunnerTest, KillEndsEveryProcessOfTheNameAndNoOther) {
    const fs::path second = folder_ / "second";
    placeStandin(folder_, L"Helmsight.exe");
    placeStandin(second, L"Helmsight.exe");
    placeStandin(folder_, L"Other.exe");
    for (const fs::path& hold : {folder_ / "Helmsight.exe.hold", second / "Helmsight.exe.hold",
                                 folder_ / "Other.exe.hold"}) {
        writeFile(hold, "");
    }
    std::vector<std::thread> runners;
    for (const fs::path& program :
         {folder_ / "Helmsight.exe", second / "Helmsight.exe", folder_ / "Other.exe"}) {
        runners.emplace_back([program] { runAndWait(L"\"" + wide(program) + L"\""); });
    }
    ASSERT_TRUE(waitForFile(folder_ / "Helmsight.exe.started"));
    ASSERT_TRUE(waitForFile(second / "Helmsight.exe.started"));
    ASSERT_TRUE(waitForFile(folder_ / "Other.exe.started"));

    killProcessByImageName(L"Helmsight.exe");
    runners[0].join();
    runners[1].join();
    EXPECT_FALSE(fs::exists(folder_ / "Helmsight.exe.finished")) << "ended by force";
    EXPECT_FALSE(fs::exists(second / "Helmsight.exe.finished")) << "ended by force";

    // The other program is still running; it ends by itself once released.
    EXPECT_FALSE(fs::exists(folder_ / "Other.exe.finished"));
    fs::remove(folder_ / "Other.exe.hold");
    runners[2].join();
    EXPECT_TRUE(fs::exists(folder_ / "Other.exe.finished"));
}

TEST_F(ProcessRunnerTest, KillWithNoSuchProcessReturns) {
    killProcessByImageName(L"KVRSSDHelmsight.exe");
    SUCCEED();
}

}  // namespace
