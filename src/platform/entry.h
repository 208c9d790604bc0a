// The program's entry as the platform hands it over. The platform's own main function fills
// EntryArguments and calls setupMain, which the core defines.
#pragma once

#include <string>

namespace platform {

struct EntryArguments {
    void* instance = nullptr;  // the module instance handle on Windows, unused on Linux
    std::wstring commandLine;  // everything after the program name, as received
    int showCommand = 1;       // SW_SHOWNORMAL unless the starter asked otherwise
};

}  // namespace platform

int setupMain(const platform::EntryArguments& arguments);
