// Library search hardening (nothing to do on Linux) and immediate exit.
#include <unistd.h>

#include <cstdio>

#include "platform/process.h"

namespace platform {

void hardenLibrarySearch() {}

void exitProcessNow(int exitCode) {
    std::fflush(nullptr);
    _exit(exitCode);
}

}  // namespace platform
