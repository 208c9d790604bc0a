// The current folder of the whole process.
#pragma once

#include <string>

namespace platform {

// Makes `folder` the current folder of the process (every thread). False when it cannot.
bool setCurrentFolder(const std::wstring& folder);
std::wstring currentFolder();

}  // namespace platform
