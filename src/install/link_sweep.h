// The sweep after unpacking: links among the unpacked files must not lead out of the
// installation folder, whoever made them.
#pragma once

#include <filesystem>

// Removes, as links, every link below `folder` (on Windows every reparse point, junctions
// included) that leads outside it or whose target cannot be read. No link is entered, and a
// folder that cannot be read is passed over.
void removeLinksLeadingOutside(const std::filesystem::path& folder);
