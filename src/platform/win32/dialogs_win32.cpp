// Message boxes on Windows.

#include <windows.h>

#include <atomic>

#include "platform/dialogs.h"

namespace platform {

namespace {
std::atomic<MessageSink> messageSink{nullptr};
}

void setMessageSinkForTests(MessageSink sink) {
    messageSink.store(sink);
}

void showMessageBox(const std::wstring& text, const std::wstring& caption) {
    if (const MessageSink sink = messageSink.load()) {
        sink(text, caption);
        return;
    }
    MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK);
}

}  // namespace platform
