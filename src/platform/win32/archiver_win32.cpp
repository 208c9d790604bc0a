// Unpacking on Windows: a two-line batch file run by the command processor without a window.
#include <windows.h>

#include <fstream>

#include "platform/archiver.h"
#include "platform/files.h"
#include "platform/process_runner.h"
#include "platform/text.h"

namespace platform {

void unpackArchiveInFolder(const std::wstring& folder, const std::wstring& archiveName) {
    const std::wstring batchPath = folder + L"unzip.bat";
    {
        // Text mode: the line break is written as CR LF, and no line break follows line 2.
        std::ofstream batch(toPath(batchPath), std::ios::out | std::ios::trunc);
        batch << wideToUtf8(L"7za x -y " + archiveName) << '\n'
              << wideToUtf8(L"del /f " + archiveName);
    }
    runHiddenAndWait(L"cmd /C unzip.bat", folder);
    DeleteFileW(batchPath.c_str());
}

}  // namespace platform
