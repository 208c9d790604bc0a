// The steps of an uninstallation that work on files: folder trees, the loose files of a maker
// folder, the shortcuts, and the guard that keeps system and user folders out of reach.
#pragma once

#include <string>

// True when `path` may be deleted as an installation folder: an absolute path that is not a
// file-system root and neither is nor contains one of the system's well-known folders. A
// damaged registry value must not wipe a disk. Links in the folders above are resolved; a
// link that `path` itself names is judged as itself, since it is removed, never followed.
bool isRemovableInstallationFolder(const std::wstring& path);

// True when the last component of `installPath` (final separators aside) is the product
// folder name, compared as the file system compares names. Only such a recorded path is an
// installation the uninstallation deletes.
bool namesProductFolder(const std::wstring& installPath);

// The folder that holds the last component of `installPath`, ending with a separator: the
// maker folder of an installation folder.
std::wstring makerFolderOf(const std::wstring& installPath);

// When `path` names an existing entry that may be removed: waits 2 seconds (for stopped
// processes to let go of their files), then deletes it with everything below it, never
// following a link: a link is removed as a link, `path` itself included. The first entry
// that cannot be deleted ends the deletion; nothing is reported.
void removeFolderTree(const std::wstring& path);

// Deletes every entry directly in `folder` (ending with a separator) that is not a folder;
// subfolders and their contents stay, and a link is deleted as a link (on Windows a junction
// counts as a folder). Nothing is deleted in a folder that is itself a link. Nothing is deleted in
// a folder that may not be removed.
void deleteFilesInFolder(const std::wstring& folder);

// Deletes the application's shortcuts that exist: on the desktop under the product name and
// both brands' entry names, and in the all-users program list.
void removeShortcuts();
