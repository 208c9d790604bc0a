// Elevation: the program copies itself into a new folder of the temporary folder and starts
// the copy with administrator rights; the copy, seeing where it runs, carries on. A silent
// run waits for the copy and ends with its exit code, so scripts see the real result.
#include "core/elevation.h"

#include <filesystem>

#include "core/exit_codes.h"
#include "core/messages.h"
#include "core/product_profile.h"
#include "core/session_state.h"
#include "localization/translation_catalog.h"
#include "platform/elevation.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/process.h"

namespace {

[[noreturn]] void failRelaunch(const std::wstring& text) {
    showMessage(text, translate(L"IDS_TITLE_ERROR"));
    platform::exitProcessNow(kExitFailure);
}

bool runsFromTempFolder(const std::wstring& foldedTempName) {
    const std::wstring tempFolder =
        foldedTempName.substr(0, foldedTempName.rfind(platform::kPathSeparator));
    return platform::foldPathCase(profile().setupFilePath).rfind(tempFolder, 0) == 0;
}

}  // namespace

void relaunchElevatedFromTemp(const std::wstring& parameters) {
    const std::wstring tempName = platform::uniqueTempName();
    if (tempName.empty()) {
        failRelaunch(translate(L"temp_name_error"));
    }
    const std::wstring folder = platform::foldPathCase(tempName);
    if (runsFromTempFolder(folder)) {
        return;
    }

    std::error_code error;
    try {
        if (!std::filesystem::create_directories(platform::toPath(folder), error) || error) {
            failRelaunch(translate(L"error_creating_folder") + L"(error code: " +
                         std::to_wstring(error.value()) + L")");
        }
    } catch (const std::exception&) {
        failRelaunch(translate(L"error_creating_folder"));
    }

    const std::wstring copy = folder + platform::kPathSeparator + profile().setupFileName;
    std::filesystem::copy_file(platform::toPath(profile().setupFilePath), platform::toPath(copy),
                               std::filesystem::copy_options::none, error);
    if (error) {
        failRelaunch(translate(L"copy_error") + L"(error code " + std::to_wstring(error.value()) +
                     L")");
    }

    const bool silent = session().silent;
    const std::optional<int> result = platform::startElevated(copy, parameters, silent);
    if (!silent) {
        platform::exitProcessNow(kExitDone);  // a declined prompt is not reported
    }
    platform::exitProcessNow(result.has_value() ? *result : kExitFailure);
}

bool isAdministrator() {
    switch (platform::checkAdministrator()) {
        case platform::AdministratorCheck::Member:
        case platform::AdministratorCheck::Unknown:
            return true;
        case platform::AdministratorCheck::NotMember:
            break;
    }
    showMessage(translate(L"admin_installer", {profile().korvane.productName}),
                translate(L"admin_title"));
    return false;
}
