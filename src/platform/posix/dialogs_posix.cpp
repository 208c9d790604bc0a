// Message boxes on Linux: a GTK message dialog when a display is available, otherwise the
// caption and text on standard error. GTK belongs to the UI thread: a box asked for on another
// thread is shown by the UI thread, which keeps dispatching events while it follows a worker,
// and the asking thread waits until the box has been closed.
#include <gtk/gtk.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>

#include "platform/dialogs.h"
#include "platform/posix/gtk_display.h"
#include "platform/text.h"

namespace platform {
namespace {

std::atomic<MessageSink> messageSink{nullptr};

void writeToStandardError(const std::wstring& text, const std::wstring& caption) {
    std::fprintf(stderr, "%s: %s\n", wideToUtf8(caption).c_str(), wideToUtf8(text).c_str());
    std::fflush(stderr);
}

// UI thread only.
void showNow(const std::wstring& text, const std::wstring& caption) {
    if (!posix::ensureGtk()) {
        writeToStandardError(text, caption);
        return;
    }
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER,
                                               GTK_BUTTONS_OK, "%s", wideToUtf8(text).c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), wideToUtf8(caption).c_str());
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    // Let the box disappear before the caller goes on (often to end the process).
    for (int i = 0; i < 100 && g_main_context_iteration(nullptr, FALSE); ++i) {
    }
}

struct Request {
    std::wstring text;
    std::wstring caption;
    std::mutex mutex;
    std::condition_variable closed;
    bool done = false;
};

gboolean showRequested(gpointer data) {
    auto* request = static_cast<Request*>(data);
    showNow(request->text, request->caption);
    {
        std::lock_guard<std::mutex> lock(request->mutex);
        request->done = true;
    }
    request->closed.notify_all();
    return G_SOURCE_REMOVE;
}

}  // namespace

void setMessageSinkForTests(MessageSink sink) {
    messageSink.store(sink);
}

void showMessageBox(const std::wstring& text, const std::wstring& caption) {
    if (const MessageSink sink = messageSink.load()) {
        sink(text, caption);
        return;
    }
    if (!posix::displayNamed()) {
        writeToStandardError(text, caption);
        return;
    }
    if (posix::onUiThread()) {
        showNow(text, caption);
        return;
    }
    Request request;
    request.text = text;
    request.caption = caption;
    g_idle_add(showRequested, &request);
    std::unique_lock<std::mutex> lock(request.mutex);
    request.closed.wait(lock, [&request] { return request.done; });
}

}  // namespace platform
