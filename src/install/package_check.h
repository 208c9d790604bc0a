// The check that keeps a package's contents inside the installation folder: the archive's
// entry names, read before anything is unpacked.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct ZipEntry {
    std::string name;   // as stored: UTF-8 or the archive's code page
    bool link = false;  // a symbolic link or reparse point
};

// The entries listed in the ZIP archive's central directory, with any Unicode path names
// they carry as extra entries. False when the file is not a readable ZIP archive.
bool readZipEntries(const std::filesystem::path& archive, std::vector<ZipEntry>& entries);

// True when an entry of this name unpacks below the folder: a relative path without ".."
// parts, drive letters or stream names.
bool entryNameStaysInside(const std::string& name);

// True when the archive is a ZIP archive whose every entry is a plain file or folder that
// stays inside the folder it is unpacked into.
bool packageIsSafeToUnpack(const std::filesystem::path& archive);
