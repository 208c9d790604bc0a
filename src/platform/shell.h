// Handing things to the desktop shell: a document address to its handler, a program to start.
#pragma once

#include <string>

namespace platform {

// Opens the address with the system's handler ("open"; xdg-open on Linux). Does not wait;
// the result is not reported.
void openWithShell(const std::wstring& address);

// Starts the program with administrator rights ("runas"; on Linux directly, as the setup
// program already runs with the rights it needs). Does not wait; the result is not reported.
void startApplication(const std::wstring& path);

}  // namespace platform
