// File-system paths on Linux: UTF-8 bytes, whatever the process locale says.
#include "platform/files.h"
#include "platform/text.h"

namespace platform {

std::filesystem::path toPath(const std::wstring& text) {
    return std::filesystem::path(wideToUtf8(text));
}

}  // namespace platform
