// Unpacking the application package with the 7-Zip console archiver.
#pragma once

#include <string>

namespace platform {

// Unpacks the archive `archiveName` lying in `folder` into that folder with full paths,
// answering yes to every question (existing files are overwritten), then deletes the archive
// whatever the unpacking did. Nothing is reported.
// Windows: the two-line batch file "unzip.bat" ("7za x -y NAME", "del /f NAME"), run by
// "cmd /C unzip.bat" without a window in `folder`, where "7za.exe" was written; the batch
// file is deleted afterwards. Linux: the distribution's console archiver (7za on PATH, else
// 7zz) run directly in `folder`, then the archive deleted.
void unpackArchiveInFolder(const std::wstring& folder, const std::wstring& archiveName);

}  // namespace platform
