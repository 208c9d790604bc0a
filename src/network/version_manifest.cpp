// The version manifest: the package version between the first "<version>" and the next
// "</version>", or the installed version when the manifest is not needed or not reachable. A
// version that could not stand as a folder name of the package URL is no version.
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
constexpr size_t kLongestVersion = 64;

// The version becomes a folder of the package URL: anything that could leave that folder or
// end the path ("../", "?", "#", "%", blanks, control characters) makes the manifest unusable.
bool isUsableVersionText(const std::wstring& text) {
    if (text.empty() || text.size() > kLongestVersion) {
        return false;
    }
    for (const wchar_t c : text) {
        const bool letter = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
        const bool digit = c >= L'0' && c <= L'9';
        if (!letter && !digit && c != L'.' && c != L'-' && c != L'_' && c != L'+') {
            return false;
        }
    }
    return true;
}

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
    const std::wstring version =
        end == std::wstring::npos ? std::wstring() : text.substr(start, end - start);
    if (!isUsableVersionText(version)) {
        reportDownloadFailure(manifestName, L"");
        platform::exitProcessNow(kExitFailure);
    }
    return Version(version);
}
