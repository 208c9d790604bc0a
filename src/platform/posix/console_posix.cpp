// The console on Linux: the process's own standard output, UTF-8.
#include <cstdio>

#include "platform/console.h"
#include "platform/text.h"

namespace platform {

bool openConsole() {
    return true;
}

void writeConsoleLine(const std::wstring& line) {
    const std::string bytes = wideToUtf8(line) + "\n";
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

}  // namespace platform
