// Splitting a command-line text into arguments with the Windows rules.
#pragma once

#include <string>
#include <vector>

namespace platform {

std::vector<std::wstring> splitCommandLine(const std::wstring& commandLine);

}  // namespace platform
