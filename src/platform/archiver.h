// Unpacking the application package with the 7-Zip console archiver, and where that
// archiver is.
#pragma once

#include <string>

namespace platform {

// The full path of the console archiver that unpacks in `folder` (a path ending with a
// separator). Windows: "7za.exe" in `folder`, where the install worker wrote it. Linux: the
// distribution's program from the system folders only (/usr/bin, /bin: 7za, else 7zz), owned
// by root and writable by nobody else, never from the caller's PATH; empty when there is none.
std::wstring archiverPath(const std::wstring& folder);

// Unpacks the ZIP archive `archiveName` lying in `folder` into that folder with full paths,
// answering yes to every question (existing files are overwritten), then deletes the archive
// whatever the unpacking did. Nothing is reported.
// Windows: the two-line batch file "unzip.bat" ("7za x -y -tzip NAME", "del /f NAME"), run
// by the System folder's cmd.exe ("cmd /C unzip.bat") without a window in `folder`, where
// "7za.exe" was written; the batch file is deleted afterwards. Linux: archiverPath's program
// run directly in `folder` with "x -y -tzip", then the archive deleted.
void unpackArchiveInFolder(const std::wstring& folder, const std::wstring& archiveName);

}  // namespace platform
