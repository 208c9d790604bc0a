// Symbolic links for the tests of the walks that must never follow one.
#pragma once

#include <filesystem>
#include <system_error>

namespace linktest {

namespace fs = std::filesystem;

// Makes `link` a symbolic link to `target` (a folder link when the target is a folder),
// replacing a link already there; false where links cannot be made (Wine makes none).
inline bool makeLink(const fs::path& target, const fs::path& link) {
    std::error_code error;
    fs::remove(link, error);
    fs::create_directories(link.parent_path(), error);
    const fs::path resolved = target.is_relative() ? link.parent_path() / target : target;
    if (fs::is_directory(resolved, error)) {
        fs::create_directory_symlink(target, link, error);
    } else {
        fs::create_symlink(target, link, error);
    }
    return !error && fs::is_symlink(fs::symlink_status(link, error));
}

}  // namespace linktest
