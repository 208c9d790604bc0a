// File trees taken apart without following links: a symbolic link or a junction is removed
// as the link it is and never entered, so a deletion cannot reach what a link points at.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform {

// Whether anything exists at `path`; a link counts as itself, wherever it points.
bool entryExists(const std::wstring& path);

// Deletes `path` (a final separator allowed) with everything below it, one entry after the
// other. A link (on Windows any reparse point, junctions included) is removed as a link and
// not entered; `path` itself too. The first entry that cannot be removed ends the deletion
// and yields false; what was removed before stays removed.
bool removeTree(const std::wstring& path);

// An entry directly in a folder, as the folder's listing describes it.
struct FolderEntry {
    std::wstring name;
    // Windows: the directory attribute, which junctions and folder links carry as well.
    // Linux: a real folder; a link to one is not.
    bool directory = false;
};

// The entries of `folder` (a final separator allowed) without "." and "..". None when the
// folder cannot be read or is itself a link.
std::vector<FolderEntry> listFolder(const std::wstring& folder);

// Deletes the entry `name` of `folder` when it is not a folder: a file, or a link as a link.
bool deleteFileEntry(const std::wstring& folder, const std::wstring& name);

// Decides for one link found by `sweepLinks`: its full path, and the target it names as
// written in the link ("" when the target cannot be read). True removes the link.
using LinkVerdict = std::function<bool(const std::wstring& path, const std::wstring& target)>;

// Walks the tree below `folder` without entering any link and removes, as links, those that
// `removeIf` picks. Every link is judged before any is removed, so no verdict depends on the
// order of the walk. A folder that cannot be read is passed over and the walk goes on.
void sweepLinks(const std::wstring& folder, const LinkVerdict& removeIf);

}  // namespace platform
