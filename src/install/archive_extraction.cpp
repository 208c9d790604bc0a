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
    const std::wstring archive = folder + zipName;
    const std::wstring archiver = platform::archiverPath(folder);
    // A package from a compromised server must not write beside the installation folder:
    // it is refused whole, which leaves the folder without the application. So is one that
    // the archiver cannot list.
    if (archiver.empty() || !packageIsSafeToUnpack(archiver, archive)) {
        std::error_code error;
        std::filesystem::remove(platform::toPath(archive), error);
        return;
    }
    platform::unpackArchiveInFolder(folder, zipName);
    removeLinksLeadingOutside(platform::toPath(folder));
}
