// The check that keeps a package's contents inside the installation folder: the archive's
// entries as the archiver itself lists them, looked at before anything is unpacked.
#pragma once

#include <string>
#include <vector>

// One entry of the archiver's listing.
struct PackageEntry {
    std::string path;     // UTF-8, as the archiver will unpack it
    bool folder = false;  // a folder entry
    bool link = false;    // a symbolic link, hard link or reparse point
};

// The entries of a technical listing of 7-Zip ("l -slt"): the blocks of "Key = value" lines
// after the "----------" line. False when the text is not such a listing or lists nothing.
bool parseArchiveListing(const std::string& listing, std::vector<PackageEntry>& entries);

// True when an entry of this name unpacks below the folder as a file of that very name: a
// relative path without ".." parts, drive letters or stream names, no part a Windows device
// name (also with an extension) or ending in a dot or a blank, and not the archiver
// "7za.exe" or the batch file "unzip.bat" of the folder itself.
bool entryNameIsSafe(const std::string& name);

// True when the console archiver `archiver` (a full path) lists `archive` as a ZIP archive
// whose every entry is a plain file or folder with a safe name.
bool packageIsSafeToUnpack(const std::wstring& archiver, const std::wstring& archive);
