// Message boxes: no owner window, an OK button only.
#pragma once

#include <string>

namespace platform {

void showMessageBox(const std::wstring& text, const std::wstring& caption);

}  // namespace platform
