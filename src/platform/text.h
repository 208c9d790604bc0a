// Conversions between the program's wide texts and the byte encodings at the OS edge.
#pragma once

#include <string>

namespace platform {

// UTF-8 bytes to wide text, one code point to one unit where wchar_t allows it.
std::wstring utf8ToWide(const std::string& bytes);
std::string wideToUtf8(const std::wstring& text);

}  // namespace platform
