// The install decision: what the action button (or console mode) does next, chosen from the
// recorded installation state, the command line and the two versions.
#pragma once

#include <cstdint>
#include <functional>

#include "core/session_state.h"
#include "core/version.h"

enum class InstallDecision {
    Install,
    Uninstall,
    Incomplete,
    Upgrade,
    NewerInstalled,
    AlreadyInstalled,
    NothingToUninstall,
};

enum class WelcomePage { None, Install, Uninstall, Incomplete, Upgrade, NewerVersion };

struct DecisionInputs {
    int32_t korvaneState = 5;
    std::function<int32_t()> vantrelState;  // asked only when the Korvane state is Absent
    bool uninstall = false;
    bool silent = false;
    Version packageVersion;
    Version installedVersion;
};

InstallDecision chooseInstallDecision(const DecisionInputs& inputs);
PendingAction pendingActionOf(InstallDecision decision);
// The console line of a silent run; null when the decision has none.
const char* consoleLineOf(InstallDecision decision);
WelcomePage welcomePageOf(InstallDecision decision);

// Reads the record and the session, sets PendingAction, writes the console line when silent
// and shows the welcome page (which does nothing without a window).
void decideInstallAction();
