// The link sweep: a walk over the unpacked files that removes the links leading outside.
#include "install/link_sweep.h"

#include <system_error>
#include <vector>

namespace {

bool isWithin(const std::filesystem::path& candidate, const std::filesystem::path& folder) {
    auto c = candidate.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++c) {
        if (f->empty()) {
            continue;  // the empty last part of a folder written with a final separator
        }
        if (c == candidate.end() || *c != *f) {
            return false;
        }
    }
    return true;
}

}  // namespace

void removeLinksLeadingOutside(const std::filesystem::path& folder) {
    std::error_code error;
    const std::filesystem::path root = std::filesystem::weakly_canonical(folder, error);
    if (error) {
        return;
    }
    std::vector<std::filesystem::path> outside;
    for (auto it = std::filesystem::recursive_directory_iterator(root, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        std::error_code entryError;
        if (!it->is_symlink(entryError)) {
            continue;
        }
        std::filesystem::path target = std::filesystem::read_symlink(it->path(), entryError);
        if (entryError) {
            continue;
        }
        if (target.is_relative()) {
            target = it->path().parent_path() / target;
        }
        const std::filesystem::path resolved =
            std::filesystem::weakly_canonical(target, entryError);
        if (entryError || !isWithin(resolved, root)) {
            outside.push_back(it->path());
        }
    }
    for (const std::filesystem::path& link : outside) {
        std::filesystem::remove(link, error);
    }
}
