// Writing one of the program's own resources out as a file of the installation folder.
#pragma once

#include <cstdint>
#include <string>

// Writes resource (type, id) to installFolder + fileName, replacing an existing file.
// Failures are not reported: they show when the file is used.
void extractResourceToFile(uint16_t id, uint16_t type, const std::wstring& fileName);
