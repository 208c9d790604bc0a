// The version manifest: the package version between the first "<version>" and the next
// "</version>", or the installed version when the manifest is not needed or not reachable.
#include "network/version_manifest.h"

#include <string>

#include "core/exit_codes.h"
#include "core/product_profile.h"
#include "core/session_state.h"
#include "network/download_client.h"
#include "network/download_failure.h"
#include "platform/process.h"
#include "registry/install_record.h"

namespace {

const std::wstring kOpeningTag = L"<version>";
const std::wstring kClosingTag = L"</version>";

}  // namespace

Version readPackageVersion() {
    const InstallRecord record;
    if (session().uninstall) {
        return record.getCurrentVersion();
    }
    if (record.getInstalledState(Brand::Korvane) == kInstalledComplete && !isInternetConnected()) {
        return record.getCurrentVersion();
    }

    const std::wstring& manifestName = profile().manifestFileName;
    std::wstring text;
    if (!downloadToText(L"config/", manifestName, text, kMaxManifestBytes)) {
        platform::exitProcessNow(kExitFailure);  // the user has seen why
    }
    const size_t opening = text.find(kOpeningTag);
    const size_t start = opening == std::wstring::npos ? opening : opening + kOpeningTag.size();
    const size_t end = start == std::wstring::npos ? start : text.find(kClosingTag, start);
    if (end == std::wstring::npos) {
        reportDownloadFailure(manifestName, L"");
        platform::exitProcessNow(kExitFailure);
    }
    return Version(text.substr(start, end - start));
}
