// The console of silent mode: Windows gives the GUI program a console of its own and points
// standard output at it; Linux uses the process's own standard output.
#pragma once

#include <string>

namespace platform {

// Makes the console ready for writing; later calls return the first call's result.
bool openConsole();

// Writes one line and a line end, flushed.
void writeConsoleLine(const std::wstring& line);

}  // namespace platform
