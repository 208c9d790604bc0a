// Message boxes on Linux: the caption and text on standard error.
#include <atomic>
#include <cstdio>

#include "platform/dialogs.h"
#include "platform/text.h"

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
    std::fprintf(stderr, "%s: %s\n", wideToUtf8(caption).c_str(), wideToUtf8(text).c_str());
    std::fflush(stderr);
}

}  // namespace platform
