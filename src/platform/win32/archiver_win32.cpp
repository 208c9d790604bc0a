// Unpacking on Windows: a two-line batch file run by the command processor without a window.
#include <windows.h>

#include <fstream>

#include "platform/archiver.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/process_runner.h"
#include "platform/text.h"

namespace platform {

std::wstring archiverPath(const std::wstring& folder) {
    return folder + L"7za.exe";
}

void unpackArchiveInFolder(const std::wstring& folder, const std::wstring& archiveName) {
    const std::wstring batchPath = folder + L"unzip.bat";
    {
        // Text mode: the line break is written as CR LF, and no line break follows line 2.
        std::ofstream batch(toPath(batchPath), std::ios::out | std::ios::trunc);
        batch << wideToUtf8(L"7za x -y -tzip " + archiveName) << '\n'
              << wideToUtf8(L"del /f " + archiveName);
    }
    // By full path: a cmd.exe beside the program (its temporary copy's folder belongs to the
    // user) must not run in its place.
    runProgramHiddenAndWait(systemFolder() + L"\\cmd.exe", L"cmd /C unzip.bat", folder);
    DeleteFileW(batchPath.c_str());
}

}  // namespace platform
