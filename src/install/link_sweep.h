// The sweep after unpacking: links among the unpacked files must not lead out of the
// installation folder, whoever made them.
#pragma once

#include <filesystem>

// Removes every symbolic link below `folder` that leads outside it.
void removeLinksLeadingOutside(const std::filesystem::path& folder);
