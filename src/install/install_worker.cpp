// The install worker: the stages of an installation, each announced in `progress`, with a
// cancel test between them.
#include "install/install_worker.h"

#include <filesystem>
#include <system_error>

#include "core/exit_codes.h"
#include "core/messages.h"
#include "core/product_profile.h"
#include "install/archive_extraction.h"
#include "install/process_runner.h"
#include "install/resource_file.h"
#include "install/shortcuts.h"
#include "install/uninstall_entry.h"
#include "localization/translation_catalog.h"
#include "network/download_client.h"
#include "platform/driver_marker.h"
#include "platform/files.h"
#include "platform/os_version.h"
#include "platform/process.h"
#include "platform/working_folder.h"

namespace {

constexpr uint16_t kArchiverResourceType = 2000;
constexpr uint16_t kArchiverResourceId = 2001;
const wchar_t* const kArchiverFileName = L"7za.exe";

// Progress at the start of each stage: Windows 10 or later, earlier Windows (no stages 7, 8).
struct StageProgress {
    int32_t windows10;
    int32_t earlier;
};
constexpr StageProgress kStageProgress[] = {
    {10, 25}, {15, 35}, {20, 40}, {30, 55}, {40, 70}, {50, 85}, {60, 0}, {80, 0}, {100, 100},
};

// The prerequisite installers that arrive in the package; the program path is quoted.
const wchar_t* const kRuntimeInstaller = L"VC_redist.x86.exe";
const wchar_t* const kRuntimeArguments = L" /quiet /norestart";
const wchar_t* const kDriverInstaller = L"tolvar_hal_setup.exe";
const wchar_t* const kDriverArguments = L" /install /quiet /norestart";
const wchar_t* const kOldDriverRemover = L"mirrane_hal_setup.exe";
const wchar_t* const kOldDriverArguments = L" /uninstall /quiet /norestart";

// Present while the older driver package is installed.
const wchar_t* const kOldDriverMarkerKey =
    L"CLSID\\{109DC3E4-B9FF-4AF3-9008-AB13705D4E5F}\\Instance\\"
    L"{E9BBD754-6CF4-492E-BA89-782177A2771B}\\Instance\\"
    L"{D37DAC4A-CEDC-453D-8659-6AD9451C9AA8}";

std::wstring installerCommand(const wchar_t* program, const wchar_t* arguments) {
    return L"\"" + profile().korvane.installFolder + program + L"\"" + arguments;
}

bool fileExists(const std::wstring& path) {
    std::error_code error;
    return std::filesystem::exists(platform::toPath(path), error);
}

[[noreturn]] void failWithMessage(const std::wstring& text) {
    showMessage(text, translate(L"IDS_TITLE_ERROR"));
    platform::exitProcessNow(kExitFailure);
}

}  // namespace

void InstallWorker::beginStage(int stage) {
    const StageProgress& value = kStageProgress[stage - 1];
    progress.store(platform::isWindows10OrLater() ? value.windows10 : value.earlier,
                   std::memory_order_relaxed);
}

void InstallWorker::run() {
    const BrandProfile& korvane = profile().korvane;
    const std::wstring& folder = korvane.installFolder;

    std::error_code error;
    std::filesystem::create_directories(platform::toPath(folder), error);
    if (!std::filesystem::is_directory(platform::toPath(folder), error)) {
        failWithMessage(translate(L"error_creating_folder") + L" " + folder);
    }

    beginStage(1);
    platform::setCurrentFolder(folder);
    record_.setInstalledState(kInstalledStarted);
    extractResourceToFile(kArchiverResourceId, kArchiverResourceType, kArchiverFileName);
    if (cancelled()) {
        return;
    }

    beginStage(2);
    record_.setInstallPath(folder);
    downloadPackage();
    if (cancelled()) {
        return;
    }

    beginStage(3);
    const std::wstring zipName = fileExists(folder + korvane.packageFileName)
                                     ? korvane.packageFileName
                                     : korvane.alternatePackageFileName;
    extractArchive(zipName);
    // A package that left no application behind is a failed installation, not a finished
    // one; IsInstalled stays Started, so the next run offers to install again.
    if (!cancelled() && !fileExists(folder + korvane.applicationFileName) &&
        !fileExists(folder + korvane.alternateApplicationFileName)) {
        failWithMessage(translate(L"error_extract", {zipName}));
    }

    beginStage(4);
    createShortcuts();
    if (cancelled()) {
        return;
    }

    beginStage(5);
    registerUninstallEntry(record_, packageVersion_);
    if (cancelled()) {
        return;
    }

    beginStage(6);
    runAndWait(installerCommand(kRuntimeInstaller, kRuntimeArguments));
    if (cancelled()) {
        return;
    }

    if (platform::isWindows10OrLater()) {
        beginStage(7);
        runAndWait(installerCommand(kDriverInstaller, kDriverArguments));
        beginStage(8);
        try {
            if (!record_.isQZ4100Detected() &&
                platform::classesRootKeyExists(kOldDriverMarkerKey)) {
                runAndWait(installerCommand(kOldDriverRemover, kOldDriverArguments));
            }
        } catch (...) {
            // The older driver package stays; the installation is complete without it.
        }
    }

    // Recorded as complete before 100 is shown: the window may end the process at 100.
    record_.setInstalledState(kInstalledComplete);
    beginStage(9);
}

void InstallWorker::requestCancel() {
    cancelRequested.store(true, std::memory_order_relaxed);
    abortDownloads();
}

void InstallWorker::downloadPackage() {
    const BrandProfile& korvane = profile().korvane;
    const std::wstring versionFolder =
        profile().applicationFolderUrlPart + packageVersion_.text() + L"/";
    std::wstring name = korvane.packageFileName;
    if (!remoteFileExists(versionFolder, korvane.packageFileName) &&
        remoteFileExists(versionFolder, korvane.alternatePackageFileName)) {
        name = korvane.alternatePackageFileName;
    }
    if (!downloadToInstallFolder(versionFolder, name)) {
        // The download client has shown why.
        platform::exitProcessNow(kExitFailure);
    }
}
