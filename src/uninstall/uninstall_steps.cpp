// Deleting what an installation left in the file system, and nothing else.
#include "uninstall/uninstall_steps.h"

#include <chrono>
#include <cwctype>
#include <filesystem>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "core/product_profile.h"
#include "install/shortcuts.h"
#include "platform/file_tree.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/protected_folders.h"
#include "platform/shortcuts.h"
#include "platform/text.h"

namespace {

constexpr auto kReleaseWait = std::chrono::milliseconds(2000);

std::filesystem::path comparable(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::path result = std::filesystem::weakly_canonical(path, error);
    if (error) {
        result = path.lexically_normal();
    }
    if (!result.has_filename() && result.has_relative_path()) {
        result = result.parent_path();  // "folder/" and "folder" are the same folder
    }
    return result;
}

bool sameName(const std::filesystem::path& a, const std::filesystem::path& b) {
    if (!platform::kFileNamesIgnoreCase) {
        return a == b;
    }
    std::wstring x = a.wstring();
    std::wstring y = b.wstring();
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

// True when `folder` is `inner` or one of its ancestors.
bool isSameOrAncestor(const std::filesystem::path& folder, const std::filesystem::path& inner) {
    auto i = inner.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++i) {
        if (f->empty()) {
            continue;
        }
        if (i == inner.end() || !sameName(*f, *i)) {
            return false;
        }
    }
    return true;
}

bool isSeparator(wchar_t c) {
    return c == L'/' || c == platform::kPathSeparator;
}

// `path` without its final separators, and where its last component begins in it.
std::pair<std::wstring, size_t> splitLastComponent(std::wstring path) {
    while (!path.empty() && isSeparator(path.back())) {
        path.pop_back();
    }
    size_t start = path.size();
    while (start > 0 && !isSeparator(path[start - 1])) {
        --start;
    }
    return {path, start};
}

// The entry `path` names as the deletion treats it: the links of the folders above it
// resolved, "." and ".." gone, and its last component as written, since a link there is
// removed, not followed.
std::filesystem::path namedEntry(std::filesystem::path path) {
    while (!path.has_filename() && path.has_relative_path()) {
        path = path.parent_path();  // "folder/" and "folder" are the same folder
    }
    const std::filesystem::path name = path.filename();
    if (name.empty() || name == "." || name == "..") {
        return comparable(path);
    }
    return comparable(path.parent_path()) / name;
}

// The entry `path` names when it may be deleted as an installation folder: an absolute path
// that is not a file-system root and neither is nor contains a well-known folder. The
// deletion works on this very path, so what was judged is what is deleted.
std::optional<std::wstring> removableEntry(const std::wstring& path) {
    if (path.empty()) {
        return std::nullopt;
    }
    const std::filesystem::path raw = platform::toPath(path);
    if (!raw.is_absolute()) {
        return std::nullopt;
    }
    const std::filesystem::path candidate = namedEntry(raw);
    if (!candidate.has_relative_path()) {
        return std::nullopt;  // a file-system or drive root
    }
    for (const std::wstring& known : platform::wellKnownFolders()) {
        if (known.empty()) {
            continue;
        }
        // A well-known folder may itself be a link (/bin on Linux): the link is as well known
        // as the folder it leads to.
        const std::filesystem::path written = platform::toPath(known);
        if (isSameOrAncestor(candidate, comparable(written)) ||
            isSameOrAncestor(candidate, namedEntry(written))) {
            return std::nullopt;
        }
    }
    return platform::utf8ToWide(candidate.u8string());
}

}  // namespace

bool namesProductFolder(const std::wstring& installPath) {
    std::wstring product = profile().korvane.productFolderName;
    while (!product.empty() && isSeparator(product.back())) {
        product.pop_back();
    }
    const auto [path, start] = splitLastComponent(installPath);
    return !product.empty() && start > 0 &&
           sameName(platform::toPath(path.substr(start)), platform::toPath(product));
}

std::wstring makerFolderOf(const std::wstring& installPath) {
    const auto [path, start] = splitLastComponent(installPath);
    return path.substr(0, start);
}

bool isRemovableInstallationFolder(const std::wstring& path) {
    return removableEntry(path).has_value();
}

void removeFolderTree(const std::wstring& path) {
    const std::optional<std::wstring> entry = removableEntry(path);
    if (!entry || !platform::entryExists(*entry)) {
        return;
    }
    std::this_thread::sleep_for(kReleaseWait);
    platform::removeTree(*entry);
}

void deleteFilesInFolder(const std::wstring& folder) {
    const std::optional<std::wstring> judged = removableEntry(folder);
    if (!judged) {
        return;
    }
    for (const platform::FolderEntry& entry : platform::listFolder(*judged)) {
        if (!entry.directory) {
            platform::deleteFileEntry(*judged, entry.name);
        }
    }
}

void removeShortcuts() {
    const std::wstring desktop = desktopFolder();
    const std::wstring programs = commonProgramsFolder();
    std::vector<std::wstring> paths;
    if (!desktop.empty()) {
        paths.push_back(desktop + shortcutFileName());
        paths.push_back(desktop + profile().korvane.entryName + platform::kShortcutExtension);
        paths.push_back(desktop + profile().vantrel.entryName + platform::kShortcutExtension);
    }
    if (!programs.empty()) {
        paths.push_back(programs + shortcutFileName());
    }
    for (const std::wstring& path : paths) {
        std::error_code error;
        if (std::filesystem::is_regular_file(platform::toPath(path), error)) {
            std::filesystem::remove(platform::toPath(path), error);
        }
    }
}
