// The process runner: programs started hidden and waited for, paths with blanks, and ending
// every process of one program file name.
#include <fstream>
#include <thread>

#include "install/process_runner.h"
#include "install_test_support.h"
#include "platform/process_runner.h"
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

// A program run for its output: what it printed through the pipe, byte for byte, and its exit
// code; one that prints more than the limit is ended and not completed.
TEST_F(ProcessRunnerTest, ProgramOutputIsReadThroughAPipe) {
    placeStandin(folder_, L"7za.exe");
    {
        // Text mode: the platform's line ends, which the stand-in prints as they are.
        std::ofstream text(folder_ / "7za.exe.listing", std::ios::trunc);
        for (int i = 0; i < 2000; ++i) {
            text << "line " << i << " \xC3\xBC\n";
        }
    }
    const std::string listing = readFile(folder_ / "7za.exe.listing");
    const std::wstring program = programPath(L"7za.exe");

    platform::ProgramOutput output =
        platform::runProgramForOutput(program, L"\"" + program + L"\" l x", listing.size());
    EXPECT_TRUE(output.completed);
    EXPECT_EQ(output.exitCode, 0u);
    EXPECT_EQ(output.output, listing);

    output =
        platform::runProgramForOutput(program, L"\"" + program + L"\" l x", listing.size() - 1);
    EXPECT_FALSE(output.completed);
    EXPECT_LT(output.output.size(), listing.size());

    output = platform::runProgramForOutput(program, L"\"" + program + L"\" x", 100);
    EXPECT_TRUE(output.completed);
    EXPECT_EQ(output.exitCode, 3u);
    EXPECT_EQ(output.output, "");
    const std::vector<StandinRun> runs = standinLog(folder_);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].arguments, "l x");
    EXPECT_EQ(runs[2].arguments, "x");

    output = platform::runProgramForOutput(programPath(L"missing.exe"), L"missing.exe", 100);
    EXPECT_FALSE(output.completed);
}

// A program run by its full path is that very file; no other of the same name is searched
// for, not even beside the running program.
TEST_F(ProcessRunnerTest, ProgramByFullPathIsThatFile) {
    placeStandin(folder_, L"tool.exe");
    placeStandin(binFolder(), L"tool.exe");
    const bool ran = platform::runProgramHiddenAndWait(programPath(L"tool.exe"),
                                                       L"tool.exe a \"b c\"", wide(folder_));
    const std::vector<StandinRun> beside = standinLog(binFolder());
    for (const char* name : {"tool.exe", "standin.log", "tool.exe.started", "tool.exe.finished"}) {
        fs::remove(binFolder() / name);
    }
    EXPECT_TRUE(ran);
    EXPECT_TRUE(beside.empty());
    const std::vector<StandinRun> runs = standinLog(folder_);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].arguments, "a b c");
    EXPECT_TRUE(sameFolder(runs[0].workingFolder, folder_)) << runs[0].workingFolder;
    EXPECT_FALSE(platform::runProgramHiddenAndWait(programPath(L"missing.exe"), L"missing.exe"));
    EXPECT_FALSE(platform::runProgramHiddenAndWait(L"", L"tool.exe"));
}

// The uninstaller runs elevated from a copy in the user's temporary folder: a taskkill.exe
// planted beside the program, or in the current folder, must not run in place of the system's.
TEST_F(ProcessRunnerTest, PlantedTaskkillIsNotRun) {
    if (!windowsBuild()) {
        GTEST_SKIP() << "the Linux build ends processes itself";
    }
    const fs::path marker = binFolder() / "helmsight-touch-marker.exe";
    fs::copy_file(marker, binFolder() / "taskkill.exe", fs::copy_options::overwrite_existing);
    fs::copy_file(marker, folder_ / "taskkill.exe", fs::copy_options::overwrite_existing);
    const std::wstring saved = platform::currentFolder();
    ASSERT_TRUE(platform::setCurrentFolder(wide(folder_)));

    killProcessByImageName(L"KVRSSDHelmsight.exe");

    platform::setCurrentFolder(saved);
    const bool besideRan = fs::exists(binFolder() / "taskkill.exe.launched");
    fs::remove(binFolder() / "taskkill.exe");
    fs::remove(binFolder() / "taskkill.exe.launched");
    EXPECT_FALSE(besideRan) << "the taskkill.exe beside the program ran";
    EXPECT_FALSE(fs::exists(folder_ / "taskkill.exe.launched"))
        << "the current folder's taskkill.exe ran";
}

TEST_F(ProcessRunnerTest, KillWithNoSuchProcessReturns) {
    killProcessByImageName(L"KVRSSDHelmsight.exe");
    SUCCEED();
}

}  // namespace
