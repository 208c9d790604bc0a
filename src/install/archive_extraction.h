// Unpacking the application package in the installation folder.
#pragma once

#include <string>

// Unpacks `zipName` (a bare file name in the installation folder) into the installation
// folder and deletes the archive. A package with entries that would land outside the folder
// is not unpacked at all (it is deleted all the same). Nothing is reported: a failed
// extraction shows in what the folder holds afterwards.
void extractArchive(const std::wstring& zipName);
