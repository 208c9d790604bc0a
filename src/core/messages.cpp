// Showing a message, echoed to the console in silent mode.
#include "core/messages.h"

#include "core/session_state.h"
#include "platform/console.h"
#include "platform/dialogs.h"

void showMessage(const std::wstring& text, const std::wstring& caption) {
    if (session().silent && platform::openConsole()) {
        platform::writeConsoleLine(caption + L": " + text);
    }
    platform::showMessageBox(text, caption);
}
