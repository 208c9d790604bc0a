// Running programs on Linux: the Windows command-line rules for splitting, no terminal
// (standard streams on /dev/null, or standard output on a pipe), and SIGKILL by executable
// file name from /proc, limited to the programs below the sysroot when one is set.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/command_line.h"
#include "platform/posix/sysroot.h"
#include "platform/process_runner.h"
#include "platform/text.h"

extern char** environ;

namespace platform {
namespace {

// The command line split with the Windows rules, as the bytes of an argument vector.
class ArgumentVector {
  public:
    explicit ArgumentVector(const std::wstring& commandLine) {
        for (const std::wstring& argument : splitCommandLine(commandLine)) {
            bytes_.push_back(wideToUtf8(argument));
        }
        for (std::string& argument : bytes_) {
            pointers_.push_back(argument.data());
        }
        pointers_.push_back(nullptr);
    }
    bool empty() const { return bytes_.empty() || bytes_[0].empty(); }
    char* const* get() { return pointers_.data(); }
    const char* first() const { return bytes_[0].c_str(); }

  private:
    std::vector<std::string> bytes_;
    std::vector<char*> pointers_;
};

// Starts the program without a terminal: standard input and error on /dev/null, standard
// output on `output` (or /dev/null when it is -1). An empty `program` takes the program from
// the arguments, a name without a slash looked up on PATH as the Windows search would;
// otherwise `program` is run as it is named, with nothing searched.
bool spawnHidden(const std::string& program, ArgumentVector& arguments,
                 const std::wstring& workingFolder, int output, pid_t& child) {
    if (arguments.empty()) {
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (output >= 0) {
        posix_spawn_file_actions_adddup2(&actions, output, 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const std::string folder = wideToUtf8(workingFolder);
    if (!folder.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    }
    const int started =
        program.empty()
            ? posix_spawnp(&child, arguments.first(), &actions, nullptr, arguments.get(), environ)
            : posix_spawn(&child, program.c_str(), &actions, nullptr, arguments.get(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return started == 0;
}

int waitForChild(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

bool startHiddenAndWait(const std::string& program, const std::wstring& commandLine,
                        const std::wstring& workingFolder) {
    ArgumentVector arguments(commandLine);
    pid_t child = 0;
    if (!spawnHidden(program, arguments, workingFolder, -1, child)) {
        return false;
    }
    waitForChild(child);
    return true;
}

// A file descriptor closed when it goes out of scope.
class OwnedDescriptor {
  public:
    explicit OwnedDescriptor(int descriptor = -1) : descriptor_(descriptor) {}
    OwnedDescriptor(const OwnedDescriptor&) = delete;
    OwnedDescriptor& operator=(const OwnedDescriptor&) = delete;
    ~OwnedDescriptor() { reset(); }
    int get() const { return descriptor_; }
    void reset() {
        if (descriptor_ >= 0) {
            close(descriptor_);
        }
        descriptor_ = -1;
    }

  private:
    int descriptor_;
};

}  // namespace

bool runHiddenAndWait(const std::wstring& commandLine, const std::wstring& workingFolder) {
    return startHiddenAndWait("", commandLine, workingFolder);
}

bool runProgramHiddenAndWait(const std::wstring& program, const std::wstring& commandLine,
                             const std::wstring& workingFolder) {
    return !program.empty() && startHiddenAndWait(wideToUtf8(program), commandLine, workingFolder);
}

ProgramOutput runProgramForOutput(const std::wstring& program, const std::wstring& commandLine,
                                  size_t outputLimit) {
    ProgramOutput result;
    int ends[2] = {-1, -1};
    // Close-on-exec: no other program started meanwhile keeps the pipe open.
    if (program.empty() || pipe2(ends, O_CLOEXEC) != 0) {
        return result;
    }
    OwnedDescriptor readEnd(ends[0]);
    OwnedDescriptor writeEnd(ends[1]);
    ArgumentVector arguments(commandLine);
    pid_t child = 0;
    const bool started = spawnHidden(wideToUtf8(program), arguments, L"", writeEnd.get(), child);
    writeEnd.reset();
    if (!started) {
        return result;
    }
    bool cut = false;
    char block[4096];
    for (;;) {
        const ssize_t got = read(readEnd.get(), block, sizeof block);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        if (result.output.size() + static_cast<size_t>(got) > outputLimit) {
            kill(child, SIGKILL);
            cut = true;
            break;
        }
        result.output.append(block, static_cast<size_t>(got));
    }
    readEnd.reset();
    const int status = waitForChild(child);
    result.completed = !cut && WIFEXITED(status);
    result.exitCode = WIFEXITED(status) ? static_cast<unsigned long>(WEXITSTATUS(status)) : 0;
    return result;
}

void killProcessesByImageName(const std::wstring& imageName) {
    const std::string name = wideToUtf8(imageName);
    // Below a sysroot the machine is that folder: only its programs are this machine's.
    const std::string root = wideToUtf8(sysroot());
    const std::string deleted = " (deleted)";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string pidText = entry.path().filename().string();
        if (pidText.empty() || pidText.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        const pid_t pid = static_cast<pid_t>(std::stol(pidText));
        if (pid == getpid()) {
            continue;
        }
        std::error_code linkError;
        std::string executable = std::filesystem::read_symlink(entry.path() / "exe", linkError);
        if (linkError) {
            continue;
        }
        // A program whose file was replaced or removed while running still counts.
        if (executable.size() > deleted.size() &&
            executable.compare(executable.size() - deleted.size(), deleted.size(), deleted) == 0) {
            executable.resize(executable.size() - deleted.size());
        }
        const bool onThisMachine = root.empty() || executable.rfind(root + "/", 0) == 0;
        if (onThisMachine && std::filesystem::path(executable).filename() == name) {
            kill(pid, SIGKILL);
        }
    }
}

}  // namespace platform
