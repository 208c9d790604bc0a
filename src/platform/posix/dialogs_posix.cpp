// Message boxes on Linux: the caption and text on standard error.
#include <cstdio>

#include "platform/dialogs.h"
#include "platform/text.h"

namespace platform {

void showMessageBox(const std::wstring& text, const std::wstring& caption) {
    std::fprintf(stderr, "%s: %s\n", wideToUtf8(caption).c_str(), wideToUtf8(text).c_str());
    std::fflush(stderr);
}

}  // namespace platform
