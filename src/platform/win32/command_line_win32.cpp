// Command-line splitting by the shell's own rules.
#include <windows.h>

#include <shellapi.h>

#include "platform/command_line.h"

namespace platform {

std::vector<std::wstring> splitCommandLine(const std::wstring& commandLine) {
    std::vector<std::wstring> arguments;
    int count = 0;
    LPWSTR* list = CommandLineToArgvW(commandLine.c_str(), &count);
    if (list == nullptr) {
        return arguments;  // nothing to examine: every option keeps its default
    }
    for (int i = 0; i < count; ++i) {
        arguments.emplace_back(list[i]);
    }
    LocalFree(list);
    return arguments;
}

}  // namespace platform
