// The install decision as one table: recorded states, "-uninstall", "-silent" and the two
// versions give the pending action, the console line and the welcome page.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/install_decision.h"
#include "core/session_state.h"
#include "registry/install_record.h"

namespace {

constexpr int32_t kStarted = 1;
constexpr int32_t kComplete = 3;
constexpr int32_t kAbsent = 5;

const char* const kInstalling = "Installing Helmsight...";
const char* const kUninstalling = "Uninstalling Helmsight...";
const char* const kReinstalling = "Reinstalling Helmsight...";
const char* const kAlreadyInstalled = "Helmsight is already installed. Exiting installer.";
const char* const kNotInstalled =
    "Cannot uninstall Helmsight. Helmsight is not installed. Exiting installer.";

struct DecisionCase {
    const char* name;
    int32_t korvane;
    int32_t vantrel;
    bool uninstall;
    bool silent;
    const wchar_t* package;
    const wchar_t* installed;
    PendingAction action;
    const char* consoleLine;  // null: none (and none is printed in window mode either way)
    WelcomePage page;
};

const DecisionCase kCases[] = {
    // Nothing installed.
    {"fresh window", kAbsent, kAbsent, false, false, L"2.8.0.0", L"", PendingAction::Install,
     kInstalling, WelcomePage::Install},
    {"fresh silent", kAbsent, kAbsent, false, true, L"2.8.0.0", L"", PendingAction::Install,
     kInstalling, WelcomePage::Install},
    {"nothing to uninstall silent", kAbsent, kAbsent, true, true, L"", L"", PendingAction::Quit,
     kNotInstalled, WelcomePage::None},
    {"nothing to uninstall window: empty texts are equal", kAbsent, kAbsent, true, false, L"", L"",
     PendingAction::Uninstall, kUninstalling, WelcomePage::Uninstall},
    {"uninstall window, absent, versions differ", kAbsent, kAbsent, true, false, L"2.8.0.0", L"",
     PendingAction::Reinstall, nullptr, WelcomePage::Upgrade},
    // Complete installation.
    {"same version window offers removal", kComplete, kAbsent, false, false, L"2.7.1.0", L"2.7.1.0",
     PendingAction::Uninstall, kUninstalling, WelcomePage::Uninstall},
    {"older installed", kComplete, kAbsent, false, false, L"2.8.0.0", L"2.7.1.0",
     PendingAction::Reinstall, nullptr, WelcomePage::Upgrade},
    {"newer installed", kComplete, kAbsent, false, false, L"2.7.1.0", L"2.8.0.0",
     PendingAction::Finish, nullptr, WelcomePage::NewerVersion},
    {"more components, shared ones equal", kComplete, kAbsent, false, false, L"2.7.1.0", L"2.7.1",
     PendingAction::Reinstall, nullptr, WelcomePage::Upgrade},
    {"components compare as numbers", kComplete, kAbsent, false, false, L"2.7.9", L"2.7.10",
     PendingAction::Finish, nullptr, WelcomePage::NewerVersion},
    {"equal numbers, different texts", kComplete, kAbsent, false, false, L"2.7.01", L"2.7.1",
     PendingAction::Reinstall, nullptr, WelcomePage::Upgrade},
    {"installed version removed by hand", kComplete, kAbsent, false, false, L"2.8.0.0", L"",
     PendingAction::Reinstall, nullptr, WelcomePage::Upgrade},
    {"empty package version against an installed one", kComplete, kAbsent, false, false, L"",
     L"2.7.1.0", PendingAction::Finish, nullptr, WelcomePage::NewerVersion},
    {"complete, silent", kComplete, kAbsent, false, true, L"2.8.0.0", L"2.7.1.0",
     PendingAction::Quit, kAlreadyInstalled, WelcomePage::None},
    {"complete, uninstall window", kComplete, kAbsent, true, false, L"2.7.1.0", L"2.7.1.0",
     PendingAction::Uninstall, kUninstalling, WelcomePage::Uninstall},
    {"complete, uninstall silent", kComplete, kAbsent, true, true, L"2.7.1.0", L"2.7.1.0",
     PendingAction::Uninstall, kUninstalling, WelcomePage::Uninstall},
    // Incomplete installation (and any other recorded number).
    {"stopped half-way", kStarted, kAbsent, false, false, L"2.8.0.0", L"", PendingAction::Reinstall,
     kReinstalling, WelcomePage::Incomplete},
    {"stopped half-way silent", kStarted, kAbsent, false, true, L"2.8.0.0", L"",
     PendingAction::Reinstall, kReinstalling, WelcomePage::Incomplete},
    {"stopped half-way, uninstall", kStarted, kAbsent, true, false, L"2.8.0.0", L"",
     PendingAction::Uninstall, kUninstalling, WelcomePage::Uninstall},
    {"unknown state 0", 0, kAbsent, false, false, L"2.8.0.0", L"2.8.0.0", PendingAction::Reinstall,
     kReinstalling, WelcomePage::Incomplete},
    // Vantrel counts only when Korvane is absent, and then exactly like Korvane.
    {"vantrel complete, same version", kAbsent, kComplete, false, false, L"2.7.1.0", L"2.7.1.0",
     PendingAction::Uninstall, kUninstalling, WelcomePage::Uninstall},
    {"vantrel complete, silent", kAbsent, kComplete, false, true, L"2.8.0.0", L"2.7.1.0",
     PendingAction::Quit, kAlreadyInstalled, WelcomePage::None},
    {"vantrel incomplete", kAbsent, kStarted, false, false, L"2.8.0.0", L"",
     PendingAction::Reinstall, kReinstalling, WelcomePage::Incomplete},
    {"korvane wins over vantrel", kComplete, kStarted, false, true, L"2.8.0.0", L"2.7.1.0",
     PendingAction::Quit, kAlreadyInstalled, WelcomePage::None},
};

std::string lineOrNone(const char* line) {
    return line != nullptr ? line : "(none)";
}

TEST(DecisionTest, Table) {
    for (const DecisionCase& c : kCases) {
        SCOPED_TRACE(c.name);
        int vantrelReads = 0;
        DecisionInputs inputs;
        inputs.korvaneState = c.korvane;
        inputs.vantrelState = [&] {
            ++vantrelReads;
            return c.vantrel;
        };
        inputs.uninstall = c.uninstall;
        inputs.silent = c.silent;
        inputs.packageVersion = Version(c.package);
        inputs.installedVersion = Version(c.installed);

        const InstallDecision decision = chooseInstallDecision(inputs);
        EXPECT_EQ(pendingActionOf(decision), c.action);
        EXPECT_EQ(welcomePageOf(decision), c.page);
        // Upgrade and Newer-installed come only from the version comparison, which a silent
        // run never reaches: they have no line.
        EXPECT_EQ(lineOrNone(consoleLineOf(decision)), lineOrNone(c.consoleLine));
        EXPECT_EQ(vantrelReads, c.korvane == kAbsent ? 1 : 0);
    }
}

// The wiring of decideInstallAction: the record's state in, PendingAction set, the console
// line written (and flushed) only when silent. Without a window the page changes nothing else.
TEST(DecisionTest, DecideWritesTheLineOnlyWhenSilent) {
    SessionState& s = session();
    const bool savedSilent = s.silent;
    const bool savedUninstall = s.uninstall;
    for (bool silent : {false, true}) {
        for (bool uninstall : {false, true}) {
            SCOPED_TRACE(std::string("silent ") + (silent ? "on" : "off") + ", uninstall " +
                         (uninstall ? "on" : "off"));
            s.silent = silent;
            s.uninstall = uninstall;
            s.packageVersion = Version(L"2.8.0.0");
            s.installedVersion = Version(L"2.7.1.0");
            DecisionInputs inputs;
            inputs.korvaneState = installRecord().getInstalledState(Brand::Korvane);
            inputs.vantrelState = [] { return installRecord().getInstalledState(Brand::Vantrel); };
            inputs.uninstall = uninstall;
            inputs.silent = silent;
            inputs.packageVersion = s.packageVersion;
            inputs.installedVersion = s.installedVersion;
            const InstallDecision expected = chooseInstallDecision(inputs);

            s.pendingAction = PendingAction::Rollback;
            testing::internal::CaptureStdout();
            decideInstallAction();
            const std::string output = testing::internal::GetCapturedStdout();

            EXPECT_EQ(s.pendingAction, pendingActionOf(expected));
            const char* line = consoleLineOf(expected);
            EXPECT_EQ(output, silent && line != nullptr ? std::string(line) + "\n" : "");
        }
    }
    s.silent = savedSilent;
    s.uninstall = savedUninstall;
    s.pendingAction = PendingAction::Install;
}

}  // namespace
