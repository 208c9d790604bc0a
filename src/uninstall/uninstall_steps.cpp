// Deleting what an installation left in the file system, and nothing else.
#include "uninstall/uninstall_steps.h"

#include <chrono>
#include <cwctype>
#include <filesystem>
#include <system_error>
#include <thread>
#include <vector>

#include "core/product_profile.h"
#include "install/shortcuts.h"
#include "platform/files.h"
#include "platform/protected_folders.h"
#include "platform/shortcuts.h"

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

}  // namespace

bool isRemovableInstallationFolder(const std::wstring& path) {
    if (path.empty()) {
        return false;
    }
    const std::filesystem::path raw = platform::toPath(path);
    if (!raw.is_absolute()) {
        return false;
    }
    const std::filesystem::path candidate = comparable(raw);
    if (!candidate.has_relative_path()) {
        return false;  // a file-system or drive root
    }
    for (const std::wstring& known : platform::wellKnownFolders()) {
        if (!known.empty() && isSameOrAncestor(candidate, comparable(platform::toPath(known)))) {
            return false;
        }
    }
    return true;
}

void removeFolderTree(const std::wstring& path) {
    std::error_code error;
    if (path.empty() ||
        !std::filesystem::exists(std::filesystem::symlink_status(platform::toPath(path), error))) {
        return;
    }
    if (!isRemovableInstallationFolder(path)) {
        return;
    }
    std::this_thread::sleep_for(kReleaseWait);
    std::filesystem::remove_all(platform::toPath(path), error);
}

void deleteFilesInFolder(const std::wstring& folder) {
    if (!isRemovableInstallationFolder(folder)) {
        return;
    }
    std::error_code error;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(platform::toPath(folder), error)) {
        std::error_code entryError;
        if (!entry.is_directory(entryError)) {
            files.push_back(entry.path());
        }
    }
    for (const std::filesystem::path& file : files) {
        std::filesystem::remove(file, error);
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
