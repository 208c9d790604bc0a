// Unpacking on Linux: the distribution's 7-Zip console program run directly in the folder,
// then the archive deleted, the same two steps as the Windows batch file.
#include <unistd.h>

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

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) {
            end = folders.size();
        }
        const std::string folder = end > start ? folders.substr(start, end - start) : ".";
        if (access((folder + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// Debian's 7zip package names its console program 7zz; other distributions call it 7za.
std::wstring archiverProgram() {
    return onPath("7za") ? L"7za" : L"7zz";
}

}  // namespace

void unpackArchiveInFolder(const std::wstring& folder, const std::wstring& archiveName) {
    // The name is quoted so that the program sees it as one argument, blanks and all.
    runHiddenAndWait(archiverProgram() + L" x -y \"" + archiveName + L"\"", folder);
    std::error_code error;
    std::filesystem::remove(toPath(folder + archiveName), error);
}

}  // namespace platform
