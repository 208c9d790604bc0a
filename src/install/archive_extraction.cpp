// Archive extraction: the package checks around the archiver's two steps.
#include "install/archive_extraction.h"

#include <system_error>

#include "core/product_profile.h"
#include "install/link_sweep.h"
#include "install/package_check.h"
#include "platform/archiver.h"
#include "platform/files.h"

void extractArchive(const std::wstring& zipName) {
    const std::wstring folder = profile().korvane.installFolder;
    const std::filesystem::path archive = platform::toPath(folder + zipName);
    // A package from a compromised server must not write beside the installation folder:
    // it is refused whole, which leaves the folder without the application.
    if (!packageIsSafeToUnpack(archive)) {
        std::error_code error;
        std::filesystem::remove(archive, error);
        return;
    }
    platform::unpackArchiveInFolder(folder, zipName);
    removeLinksLeadingOutside(platform::toPath(folder));
}
