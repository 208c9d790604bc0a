// The action sequence and the protocol with the workers: a worker publishes `progress`, the
// install worker can be asked to stop; nothing else passes between the threads.
#include "ui/action_sequence.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <system_error>
#include <thread>

#include "core/exit_codes.h"
#include "core/messages.h"
#include "core/product_profile.h"
#include "core/session_state.h"
#include "install/install_worker.h"
#include "localization/translation_catalog.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/running_image.h"
#include "platform/shell.h"
#include "ui/controls.h"
#include "ui/pages.h"
#include "uninstall/uninstall_worker.h"

namespace {

constexpr int kProgressTurnMilliseconds = 50;
constexpr int kRollbackPauseMilliseconds = 2000;
constexpr int kQuitPauseMilliseconds = 3000;

// Set by the thread of the last install worker started when its run has returned; the
// rollback waits for it so that a cancelled worker still finishing a stage does not write into
// what the rollback has just removed.
std::shared_ptr<std::atomic<bool>> installThreadDone;

int64_t clockMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void setProgressBar(int percent) {
    sendControlMessage(installerWindow().progressBar, platform::kPbmSetPos,
                       static_cast<uintptr_t>(percent), 0);
}

std::wstring withoutTrailingSeparator(std::wstring folder) {
    while (folder.size() > 1 && (folder.back() == L'\\' || folder.back() == L'/')) {
        folder.pop_back();
    }
    return folder;
}

// Both working pages start the same way: the action button and the language choice go, the
// progress bar comes, and the message names the product.
void showWorkingPage(platform::WindowHandle window, StartedWork work, const wchar_t* messageId) {
    InstallerWindowState& w = installerWindow();
    session().startedWork = work;
    showControl(w.actionButton, platform::kSwHide);
    showControl(w.cancelButton,
                work == StartedWork::Install ? platform::kSwShow : platform::kSwHide);
    showControl(w.languageLabel, platform::kSwHide);
    showControl(w.languageComboBox, platform::kSwHide);
    showControl(w.progressBar, platform::kSwShow);
    invalidateWindow(window, true);
    setControlText(w.messageText, translate(messageId, {profile().korvane.productName}));
}

// Runs the worker on a thread of its own; the flag turns true once its run has returned.
template <typename WorkerPointer>
std::shared_ptr<std::atomic<bool>> startWorkerThread(WorkerPointer worker) {
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread([worker, done] {
        worker->run();
        done->store(true);
    }).detach();
    return done;
}

// Moves the bar one step a turn towards what `target` reports, until it is full or `stop`
// says to leave off.
template <typename Target, typename Stop>
void followProgress(Target target, Stop stop) {
    int shown = 0;
    do {
        if (stop()) {
            break;
        }
        pumpMessages();
        if (shown < target()) {
            ++shown;
        }
        setProgressBar(shown);
        waitPumping(kProgressTurnMilliseconds);
    } while (shown < 100);
}

void runInstallAction(platform::WindowHandle window) {
    SessionState& s = session();
    if (s.installWorker == nullptr) {
        s.installWorker = new InstallWorker(s.packageVersion);
    }
    s.closeEnabled = false;
    runInstallPage(window);
    if (s.pendingAction == PendingAction::Install) {
        const std::wstring& product = profile().korvane.productName;
        showFinishPage(translate(L"IDS_INSTALL_END_TEXT1", {product}) + L" " +
                       s.packageVersion.text() + L" " + translate(L"IDS_INSTALL_END_TEXT2"));
        copySetupToInstallFolder();
    }
    s.closeEnabled = true;
}

}  // namespace

void pumpMessages() {
    platform::pumpMessages();
}

void waitPumping(int milliseconds) {
    pumpMessages();
    const int64_t start = clockMilliseconds();
    if (milliseconds <= 0) {
        return;
    }
    for (;;) {
        const int64_t elapsed = clockMilliseconds() - start;
        if (elapsed >= milliseconds) {
            return;
        }
        platform::waitForMessages(static_cast<int>(milliseconds - elapsed));
        pumpMessages();
    }
}

void runPendingAction(platform::WindowHandle window) {
    SessionState& s = session();
    InstallerWindowState& w = installerWindow();
    ensureInstallFolder();
    switch (s.pendingAction) {
        case PendingAction::Install:
            runInstallAction(window);
            break;
        case PendingAction::Reinstall:
            s.closeEnabled = false;
            runUninstallPage(window);
            s.pendingAction = PendingAction::Install;
            runInstallAction(window);
            break;
        case PendingAction::Uninstall:
        case PendingAction::Rollback:
            showControl(w.releaseNotesLink, platform::kSwHide);
            s.closeEnabled = false;
            runUninstallPage(window);
            if (s.pendingAction == PendingAction::Uninstall) {
                showFinishPage(
                    translate(L"IDS_UNINSTALL_END_TEXT", {profile().korvane.productName}));
            } else {
                showFinishPage(translate(L"IDS_SUMMARY_CANCELLED"));
            }
            s.closeEnabled = true;
            break;
        case PendingAction::Finish:
            if (s.startedWork == StartedWork::Install &&
                sendControlMessage(w.launchCheckBox, platform::kBmGetCheck, 0, 0) ==
                    platform::kBstChecked) {
                launchApplication();
            }
            platform::exitProcessNow(kExitDone);
        case PendingAction::Quit:
            waitPumping(kQuitPauseMilliseconds);
            platform::exitProcessNow(kExitNothingToDo);
    }
}

void runInstallPage(platform::WindowHandle window) {
    SessionState& s = session();
    InstallerWindowState& w = installerWindow();
    showWorkingPage(window, StartedWork::Install, L"IDS_INSTALLING_TEXT");

    InstallWorker* worker = s.installWorker;
    const auto done = startWorkerThread(worker);
    installThreadDone = done;

    followProgress([worker] { return worker->progress.load(std::memory_order_relaxed); },
                   [&s] { return s.pendingAction == PendingAction::Rollback; });

    if (s.pendingAction == PendingAction::Rollback) {
        setProgressBar(0);
        waitPumping(kRollbackPauseMilliseconds);
        while (!done->load()) {
            waitPumping(kProgressTurnMilliseconds);
        }
        // Exactly what a click on the action button does: the window procedure runs the
        // rollback before this send returns.
        sendControlMessage(window, platform::kWmCommand, 0,
                           reinterpret_cast<intptr_t>(w.actionButton));
    } else {
        setProgressBar(100);
    }
}

void runUninstallPage(platform::WindowHandle window) {
    showWorkingPage(window, StartedWork::Uninstall, L"IDS_UNINSTALLING_TEXT");

    // The thread holds the worker too: the object goes when both sides are done with it.
    const auto worker = std::make_shared<UninstallWorker>();
    const auto done = startWorkerThread(worker);

    // A worker that returned without reporting 100 has nothing more to report.
    followProgress(
        [worker, done] {
            return done->load() ? 100 : worker->progress.load(std::memory_order_relaxed);
        },
        [] { return false; });
}

void ensureInstallFolder() {
    const std::wstring& folder = profile().korvane.installFolder;
    std::error_code error;
    if (std::filesystem::is_directory(platform::toPath(folder), error)) {
        return;
    }
    std::filesystem::create_directories(platform::toPath(withoutTrailingSeparator(folder)), error);
    if (!std::filesystem::is_directory(platform::toPath(folder), error)) {
        showMessage(translate(L"error_creating_folder") + L"  " + folder,
                    translate(L"IDS_TITLE_ERROR"));
        platform::exitProcessNow(kExitFailure);
    }
}

void copySetupToInstallFolder() {
    const ProductProfile& p = profile();
    const std::wstring target = p.korvane.installFolder + p.setupFileName;
    std::error_code error;
    // Started from the installation folder itself: that file is already the one wanted, and
    // emptying it first would lose it.
    if (std::filesystem::equivalent(platform::toPath(p.setupFilePath), platform::toPath(target),
                                    error)) {
        return;
    }
    // The program that runs, not the file now at its path in the user's temporary folder.
    platform::copyRunningImageTo(target);
}

void launchApplication() {
    const BrandProfile& k = profile().korvane;
    std::wstring path = k.installFolder + k.applicationFileName;
    std::error_code error;
    if (!std::filesystem::exists(platform::toPath(path), error)) {
        path = k.installFolder + k.alternateApplicationFileName;
    }
    platform::startApplication(path);
}
