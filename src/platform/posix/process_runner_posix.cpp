// Running programs on Linux: the Windows command-line rules for splitting, no terminal
// (standard streams on /dev/null), and SIGKILL by executable file name from /proc, limited to
// the programs below the sysroot when one is set.
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

bool runHiddenAndWait(const std::wstring& commandLine, const std::wstring& workingFolder) {
    const std::vector<std::wstring> arguments = splitCommandLine(commandLine);
    if (arguments.empty() || arguments[0].empty()) {
        return false;
    }
    std::vector<std::string> bytes;
    for (const std::wstring& argument : arguments) {
        bytes.push_back(wideToUtf8(argument));
    }
    std::vector<char*> argv;
    for (std::string& argument : bytes) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const std::string folder = wideToUtf8(workingFolder);
    if (!folder.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    }
    pid_t child = 0;
    // A program name without a slash is looked up on PATH, as the Windows search would.
    const int started = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) {
        return false;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
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
