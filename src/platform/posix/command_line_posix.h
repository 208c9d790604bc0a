// Joining argv into one command-line text with the Windows quoting rules, so the Linux build
// receives and hands on its parameters as one text just as the Windows build does.
#pragma once

#include <string>

namespace platform {

std::wstring joinCommandLine(int argc, char** argv);

}  // namespace platform
