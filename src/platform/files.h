// Files and folders: the program's wide path texts as file-system paths of this platform.
#pragma once

#include <filesystem>
#include <string>

namespace platform {

// Windows takes the UTF-16 text as it is; Linux stores file names as UTF-8 bytes.
std::filesystem::path toPath(const std::wstring& text);

}  // namespace platform
