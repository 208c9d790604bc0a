// The program's own resources, addressed by numeric type and id, in the shape of the Win32
// resource functions: find, load, size, lock, free. The Windows build binds these from
// kernel32.dll on first use; the Linux build serves blobs linked into the binary.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

using ResourceInfo = void*;  // what findResource yields; null when there is no such resource
using ResourceData = void*;  // what loadResource yields

ResourceInfo findResource(uint16_t type, uint16_t id);
ResourceData loadResource(ResourceInfo info);
uint32_t sizeofResource(ResourceInfo info);
const void* lockResource(ResourceData data);
void freeResource(ResourceData data);

// A string table entry of the program's resources, at most maxChars - 1 characters.
std::wstring loadResourceString(uint16_t id, int maxChars);

}  // namespace platform
