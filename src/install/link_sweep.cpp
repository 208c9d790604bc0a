// The link sweep: a walk over the unpacked files, entering no link, that removes the links
// leading outside the installation folder and those whose target cannot be read.
#include "install/link_sweep.h"

#include <cwctype>
#include <system_error>

#include "platform/file_tree.h"
#include "platform/files.h"
#include "platform/protected_folders.h"
#include "platform/text.h"

namespace {

bool sameName(const std::filesystem::path& a, const std::filesystem::path& b) {
    if (!platform::kFileNamesIgnoreCase) {
        return a == b;
    }
    const std::wstring x = a.wstring();
    const std::wstring y = b.wstring();
    if (x.size() != y.size()) {
        return false;
    }
    for (size_t i = 0; i < x.size(); ++i) {
        if (std::towlower(x[i]) != std::towlower(y[i])) {
            return false;
        }
    }
    return true;
}

bool isWithin(const std::filesystem::path& candidate, const std::filesystem::path& folder) {
    auto c = candidate.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++c) {
        if (f->empty()) {
            continue;  // the empty last part of a folder written with a final separator
        }
        if (c == candidate.end() || !sameName(*c, *f)) {
            return false;
        }
    }
    return true;
}

std::wstring wideText(const std::filesystem::path& path) {
    return platform::utf8ToWide(path.u8string());
}

}  // namespace

void removeLinksLeadingOutside(const std::filesystem::path& folder) {
    std::error_code error;
    const std::filesystem::path root = std::filesystem::weakly_canonical(folder, error);
    if (error) {
        return;
    }
    platform::sweepLinks(wideText(root),
                         [&root](const std::wstring& link, const std::wstring& target) {
                             if (target.empty()) {
                                 return true;  // a link whose target cannot be read is not trusted
                             }
                             std::filesystem::path resolved = platform::toPath(target);
                             if (resolved.is_relative()) {
                                 resolved = platform::toPath(link).parent_path() / resolved;
                             }
                             std::error_code resolveError;
                             resolved = std::filesystem::weakly_canonical(resolved, resolveError);
                             return resolveError || !isWithin(resolved, root);
                         });
}
