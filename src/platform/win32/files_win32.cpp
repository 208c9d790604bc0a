// File-system paths on Windows.
#include "platform/files.h"

namespace platform {

std::filesystem::path toPath(const std::wstring& text) {
    return std::filesystem::path(text);
}

}  // namespace platform
