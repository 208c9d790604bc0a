// Unpacking on Linux: the distribution's 7-Zip console program, taken only from the system
// folders, run directly in the folder, then the archive deleted, the same two steps as the
// Windows batch file.
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/archiver.h"
#include "platform/files.h"
#include "platform/process_runner.h"
#include "platform/text.h"

namespace platform {
namespace {

// Owned by root and writable by nobody else: no other user can have put it there or change
// it while it is in use.
bool onlyRootCanChange(const struct stat& info) {
    return info.st_uid == 0 && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The program's real file, when it and every folder above it only root can change.
std::string trustedProgram(const std::string& candidate) {
    char resolved[PATH_MAX] = {};
    struct stat info {};
    if (realpath(candidate.c_str(), resolved) == nullptr || stat(resolved, &info) != 0 ||
        !S_ISREG(info.st_mode) || (info.st_mode & S_IXUSR) == 0 || !onlyRootCanChange(info)) {
        return "";
    }
    for (std::filesystem::path folder = std::filesystem::path(resolved).parent_path();;
         folder = folder.parent_path()) {
        if (stat(folder.c_str(), &info) != 0 || !onlyRootCanChange(info)) {
            return "";
        }
        if (folder == folder.root_path()) {
            return resolved;
        }
    }
}

}  // namespace

// Other distributions call the console program 7za; Debian's 7zip package names it 7zz.
std::wstring archiverPath(const std::wstring&) {
    for (const char* name : {"7za", "7zz"}) {
        for (const char* folder : {"/usr/bin/", "/bin/"}) {
            const std::string program = trustedProgram(std::string(folder) + name);
            if (!program.empty()) {
                return utf8ToWide(program);
            }
        }
    }
    return L"";
}

void unpackArchiveInFolder(const std::wstring& folder, const std::wstring& archiveName) {
    const std::wstring archiver = archiverPath(folder);
    // The name is quoted so that the program sees it as one argument, blanks and all.
    runProgramHiddenAndWait(archiver, L"\"" + archiver + L"\" x -y -tzip \"" + archiveName + L"\"",
                            folder);
    std::error_code error;
    std::filesystem::remove(toPath(folder + archiveName), error);
}

}  // namespace platform
