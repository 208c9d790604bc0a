// The setup program's start-up: read the command line, relaunch from the temporary copy, keep
// one instance per file name, pick the language, learn both versions, then run console mode
// or the window's message loop.
#include "core/command_line.h"
#include "core/console_mode.h"
#include "core/elevation.h"
#include "core/exit_codes.h"
#include "core/messages.h"
#include "core/product_profile.h"
#include "core/session_state.h"
#include "localization/language_selection.h"
#include "localization/translation_catalog.h"
#include "network/version_manifest.h"
#include "platform/command_line.h"
#include "platform/entry.h"
#include "platform/instance_lock.h"
#include "platform/process.h"
#include "platform/resources.h"
#include "platform/running_image.h"
#include "registry/install_record.h"
#include "ui/installer_window.h"

namespace {

constexpr uint16_t kWindowClassNameStringId = 109;
constexpr int kWindowClassNameBufferChars = 100;

void readCommandLine(const std::wstring& commandLine) {
    SessionState& s = session();
    s.commandLine = commandLine;
    s.startedWork = StartedWork::None;
    CommandLineOptions options;
    options.uninstall = s.uninstall;
    options = parseArguments(platform::splitCommandLine(commandLine), options);
    s.silent = options.silent;
    s.uninstall = options.uninstall;
    fillProductProfile(options.baseUrl.empty() ? kDefaultBaseUrl : options.baseUrl);
}

// The stored culture, storing the user's locale first when none is stored. Ends the process
// when the culture cannot be stored: nothing later could remember the language either.
std::wstring chooseAndStoreLanguage() {
    const std::wstring startLocale = chooseStartLanguage();
    if (installRecord().getCurrentCulture().empty()) {
        installRecord().setCurrentCulture(startLocale);
    }
    const std::wstring culture = installRecord().getCurrentCulture();
    if (culture.empty()) {
        catalog().setLanguage(startLocale);
        if (isAdministrator()) {
            showMessage(translate(L"registry_write_fail"), translate(L"IDS_TITLE_ERROR"));
        }
        platform::exitProcessNow(kExitFailure);
    }
    catalog().setLanguage(culture);
    return culture;
}

// Running without the lock would let two installations overlap: say so and stop. The
// catalogue is not loaded this early, so the message loads it first.
void reportLockFailure() {
    catalog().loadTranslations();
    catalog().setLanguage(chooseStartLanguage());
    showMessage(translate(L"lock_file_error",
                          {platform::singleInstanceLockLocation(profile().setupFileName)}),
                translate(L"IDS_TITLE_ERROR"));
}

}  // namespace

int setupMain(const platform::EntryArguments& arguments) {
    platform::hardenLibrarySearch();
    platform::holdRunningImage();
    readCommandLine(arguments.commandLine);
    relaunchElevatedFromTemp(session().commandLine);

    switch (platform::takeSingleInstanceLock(profile().setupFileName)) {
        case platform::InstanceLock::Taken:
            break;
        case platform::InstanceLock::HeldByAnother:
            return kExitDone;
        case platform::InstanceLock::Failed:
            reportLockFailure();
            return kExitFailure;
    }

    catalog().loadTranslations();
    const std::wstring culture = chooseAndStoreLanguage();
    if (!isAdministrator()) {
        return kExitFailure;
    }

    session().packageVersion = readPackageVersion();
    session().installedVersion = installRecord().getDisplayVersion();
    session().windowClassName =
        platform::loadResourceString(kWindowClassNameStringId, kWindowClassNameBufferChars);
    registerInstallerWindowClass(arguments.instance);

    if (session().silent) {
        return runConsoleMode(session().packageVersion, culture);
    }
    if (!createInstallerWindow(arguments.instance, arguments.showCommand)) {
        return kExitDone;
    }
    return runMessageLoop();
}
