// The uninstall worker: stop the application, delete its folders, loose files and shortcuts,
// then the registry record, announcing each stage in `progress`.
#include "uninstall/uninstall_worker.h"

#include "core/product_profile.h"
#include "install/process_runner.h"
#include "registry/install_record.h"
#include "uninstall/uninstall_steps.h"

namespace {

// The legacy brand's program, in the short form of the legacy registry names.
const wchar_t* const kLegacyApplicationFileName = L"KVRSSDHelmsight.exe";

}  // namespace

void UninstallWorker::run() {
    const InstallRecord& record = installRecord();
    const ProductProfile& names = profile();
    if (record.getInstalledState(Brand::Korvane) <= 0 &&
        record.getInstalledState(Brand::Vantrel) <= 0) {
        // Nothing to remove; the window still learns that the run is over.
        progress.store(100, std::memory_order_relaxed);
        return;
    }

    progress.store(20, std::memory_order_relaxed);
    for (const std::wstring& name :
         {names.korvane.applicationFileName, names.korvane.alternateApplicationFileName,
          names.vantrel.alternateApplicationFileName, std::wstring(kLegacyApplicationFileName)}) {
        killProcessByImageName(name);
    }

    progress.store(40, std::memory_order_relaxed);
    // A recorded path counts only when it names the product folder: a damaged value that
    // names some other folder must not have it deleted.
    for (Brand brand : {Brand::Korvane, Brand::Vantrel}) {
        const std::wstring path = record.getInstallPath(brand);
        if (namesProductFolder(path)) {
            removeFolderTree(path);
        }
    }
    for (Brand brand : {Brand::Korvane, Brand::Vantrel}) {
        const std::wstring path = record.getInstallPath(brand);
        if (namesProductFolder(path)) {
            deleteFilesInFolder(makerFolderOf(path));
        }
    }

    progress.store(60, std::memory_order_relaxed);
    removeShortcuts();
    record.removeRegistration();

    progress.store(100, std::memory_order_relaxed);
}
