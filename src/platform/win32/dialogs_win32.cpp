// Message boxes on Windows.

#include <windows.h>

#include "platform/dialogs.h"

namespace platform {

void showMessageBox(const std::wstring& text, const std::wstring& caption) {
    MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK);
}

}  // namespace platform
