// Silent console mode: the install decision and its action without a window, reported on the
// console: the decision's line, the version and language, then the completion line.
#include "core/console_mode.h"

#include "core/exit_codes.h"
#include "core/install_decision.h"
#include "core/session_state.h"
#include "platform/console.h"
#include "ui/action_sequence.h"

int runConsoleMode(const Version& packageVersion, const std::wstring& culture) {
    if (!platform::openConsole()) {
        return kExitNothingToDo;
    }
    decideInstallAction();
    if (session().pendingAction != PendingAction::Quit) {
        platform::writeConsoleLine(L"Version: " + packageVersion.text());
        platform::writeConsoleLine(L"Language: " + culture);
    }
    // Quit ends the process itself after its pause; failures end it with their own code.
    runPendingAction(nullptr);
    platform::writeConsoleLine(session().uninstall ? L"Uninstall complete."
                                                   : L"Installation complete.");
    return kExitDone;
}
