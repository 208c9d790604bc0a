// SessionState: the process-wide values of one run of the setup program.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "core/version.h"

class InstallWorker;

// What the action button or console mode does next.
enum class PendingAction : int32_t {
    Install = 0,
    Uninstall = 1,
    Reinstall = 2,
    Rollback = 3,
    Finish = 4,
    Quit = 5,
};

// The work the window has started, if any.
enum class StartedWork : int32_t {
    None = 0,
    Install = 1,
    Uninstall = 2,
};

struct SessionState {
    std::wstring commandLine;
    bool silent = false;
    bool uninstall = false;
    PendingAction pendingAction = PendingAction::Install;
    StartedWork startedWork = StartedWork::None;
    bool closeEnabled = false;
    Version packageVersion;
    Version installedVersion;
    const std::wstring setupVersion = L"5.3.2.4";
    InstallWorker* installWorker = nullptr;  // made at the first installation, never released
    std::atomic<bool> downloadAbort{false};  // set by the UI thread, read by the worker
    std::wstring windowClassName;
};

// The one SessionState of the process.
SessionState& session();
