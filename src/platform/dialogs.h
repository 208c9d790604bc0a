// Message boxes: no owner window, an OK button only.
#pragma once

#include <string>

namespace platform {

void showMessageBox(const std::wstring& text, const std::wstring& caption);

// Tests only: while a sink is set, showMessageBox hands the text and caption to it instead of
// showing anything, on the calling thread. Null restores the real message box.
using MessageSink = void (*)(const std::wstring& text, const std::wstring& caption);
void setMessageSinkForTests(MessageSink sink);

}  // namespace platform
