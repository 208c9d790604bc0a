// Elevation on Linux: temp names below TMPDIR, the copy started directly or through pkexec,
// and "administrator" meaning: may write the machine-wide locations.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <random>
#include <vector>

#include "platform/command_line.h"
#include "platform/elevation.h"
#include "platform/files.h"
#include "platform/posix/sysroot.h"
#include "platform/text.h"

extern char** environ;

namespace platform {
namespace {

std::wstring tempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return utf8ToWide(folder);
}

bool mayWriteMachineLocations() {
    if (geteuid() == 0) {
        return true;
    }
    const std::wstring root = sysroot();
    return access(root.empty() ? "/" : wideToUtf8(root).c_str(), W_OK) == 0;
}

// The arguments a Windows program would see for `parameters` after its own name.
std::vector<std::string> argumentsOf(const std::wstring& program, const std::wstring& parameters) {
    std::vector<std::wstring> split = splitCommandLine(L"program " + parameters);
    std::vector<std::string> arguments{wideToUtf8(program)};
    for (size_t i = 1; i < split.size(); ++i) {
        arguments.push_back(wideToUtf8(split[i]));
    }
    return arguments;
}

}  // namespace

std::wstring uniqueTempName() {
    const std::wstring folder = tempFolder();
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring candidate = folder + L"/hs" + std::to_wstring(random());
        std::error_code error;
        if (candidate.size() <= 259 && !std::filesystem::exists(toPath(candidate), error)) {
            return candidate;
        }
    }
    return std::wstring();
}

std::wstring foldPathCase(std::wstring path) {
    return path;
}

std::optional<int> startElevated(const std::wstring& program, const std::wstring& parameters,
                                 bool waitForExit) {
    std::vector<std::string> arguments = argumentsOf(program, parameters);
    if (!mayWriteMachineLocations()) {
        arguments.insert(arguments.begin(), "pkexec");
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return std::nullopt;
    }
    if (!waitForExit) {
        return 0;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return std::nullopt;
        }
    }
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return std::nullopt;  // killed by a signal: it did not finish its work
}

AdministratorCheck checkAdministrator() {
    return mayWriteMachineLocations() ? AdministratorCheck::Member : AdministratorCheck::NotMember;
}

}  // namespace platform
