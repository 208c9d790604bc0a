// The install decision.
#include "core/install_decision.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "registry/install_record.h"
#include "ui/pages.h"

namespace {

InstallDecision compareInstalledVersion(const DecisionInputs& in) {
    if (in.packageVersion.text() == in.installedVersion.text()) {
        // The same version is installed (or, with "-uninstall" and nothing installed, both
        // are empty): running the setup program again offers its removal.
        return InstallDecision::Uninstall;
    }
    if (in.installedVersion.isEmpty() ||
        compareVersions(in.packageVersion, in.installedVersion) >= 0) {
        return InstallDecision::Upgrade;
    }
    return InstallDecision::NewerInstalled;
}

// The lines are plain ASCII; they go out in whichever orientation standard output already has.
void writeConsoleLine(const char* line) {
    if (std::fwide(stdout, 0) > 0) {
        const std::wstring wide(line, line + std::strlen(line));
        std::fputws((wide + L"\n").c_str(), stdout);
    } else {
        std::fputs(line, stdout);
        std::fputc('\n', stdout);
    }
    std::fflush(stdout);
}

}  // namespace

InstallDecision chooseInstallDecision(const DecisionInputs& in) {
    int32_t state = in.korvaneState;
    if (state == kInstalledAbsent && in.vantrelState) {
        state = in.vantrelState();
    }
    if (state == kInstalledAbsent) {
        if (!in.uninstall) {
            return InstallDecision::Install;
        }
        if (in.silent) {
            return InstallDecision::NothingToUninstall;
        }
        return compareInstalledVersion(in);
    }
    if (state == kInstalledComplete) {
        if (in.uninstall) {
            return InstallDecision::Uninstall;
        }
        if (in.silent) {
            return InstallDecision::AlreadyInstalled;
        }
        return compareInstalledVersion(in);
    }
    return in.uninstall ? InstallDecision::Uninstall : InstallDecision::Incomplete;
}

PendingAction pendingActionOf(InstallDecision decision) {
    switch (decision) {
        case InstallDecision::Install:
            return PendingAction::Install;
        case InstallDecision::Uninstall:
            return PendingAction::Uninstall;
        case InstallDecision::Incomplete:
        case InstallDecision::Upgrade:
            return PendingAction::Reinstall;
        case InstallDecision::NewerInstalled:
            return PendingAction::Finish;
        case InstallDecision::AlreadyInstalled:
        case InstallDecision::NothingToUninstall:
            break;
    }
    return PendingAction::Quit;
}

const char* consoleLineOf(InstallDecision decision) {
    switch (decision) {
        case InstallDecision::Install:
            return "Installing Helmsight...";
        case InstallDecision::Uninstall:
            return "Uninstalling Helmsight...";
        case InstallDecision::Incomplete:
            return "Reinstalling Helmsight...";
        case InstallDecision::AlreadyInstalled:
            return "Helmsight is already installed. Exiting installer.";
        case InstallDecision::NothingToUninstall:
            return "Cannot uninstall Helmsight. Helmsight is not installed. Exiting installer.";
        case InstallDecision::Upgrade:
        case InstallDecision::NewerInstalled:
            break;
    }
    return nullptr;
}

WelcomePage welcomePageOf(InstallDecision decision) {
    switch (decision) {
        case InstallDecision::Install:
            return WelcomePage::Install;
        case InstallDecision::Uninstall:
            return WelcomePage::Uninstall;
        case InstallDecision::Incomplete:
            return WelcomePage::Incomplete;
        case InstallDecision::Upgrade:
            return WelcomePage::Upgrade;
        case InstallDecision::NewerInstalled:
            return WelcomePage::NewerVersion;
        case InstallDecision::AlreadyInstalled:
        case InstallDecision::NothingToUninstall:
            break;
    }
    return WelcomePage::None;
}

void decideInstallAction() {
    SessionState& s = session();
    const InstallRecord& record = installRecord();
    DecisionInputs inputs;
    inputs.korvaneState = record.getInstalledState(Brand::Korvane);
    inputs.vantrelState = [&record] { return record.getInstalledState(Brand::Vantrel); };
    inputs.uninstall = s.uninstall;
    inputs.silent = s.silent;
    inputs.packageVersion = s.packageVersion;
    inputs.installedVersion = s.installedVersion;
    const InstallDecision decision = chooseInstallDecision(inputs);

    s.pendingAction = pendingActionOf(decision);
    const char* line = consoleLineOf(decision);
    if (s.silent && line != nullptr) {
        writeConsoleLine(line);
    }
    switch (welcomePageOf(decision)) {
        case WelcomePage::Install:
            showInstallPage();
            break;
        case WelcomePage::Uninstall:
            showUninstallPage();
            break;
        case WelcomePage::Incomplete:
            showIncompletePage();
            break;
        case WelcomePage::Upgrade:
            showUpgradePage();
            break;
        case WelcomePage::NewerVersion:
            showNewerVersionPage();
            break;
        case WelcomePage::None:
            break;
    }
}
