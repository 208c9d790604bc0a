// Handing documents and programs to the desktop on Linux: xdg-open for addresses, the program
// itself for a launch. Both are started in a grandchild, so nothing is left to reap and the
// setup program never waits for them.
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>

#include <string>
#include <vector>

#include "platform/shell.h"
#include "platform/text.h"

namespace platform {
namespace {

void startDetached(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child < 0) {
        return;
    }
    if (child == 0) {
        setsid();
        if (fork() == 0) {
            execvp(argv[0], argv.data());
            _exit(127);
        }
        _exit(0);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace

void openWithShell(const std::wstring& address) {
    startDetached({"xdg-open", wideToUtf8(address)});
}

void startApplication(const std::wstring& path) {
    startDetached({wideToUtf8(path)});
}

}  // namespace platform
