// The application's two shortcuts (the user's desktop and the all-users program list) and
// the places where the uninstall worker looks for them again.
#pragma once

#include <string>

// productName + the platform's shortcut extension: "Helmsight.lnk" ("Helmsight.desktop").
std::wstring shortcutFileName();
// The folders with a final separator; empty when the system names no such folder.
std::wstring desktopFolder();
std::wstring commonProgramsFolder();

// installFolder + applicationFileName, or the alternate name when that file is missing.
std::wstring applicationTarget();

// Creates both shortcuts to applicationTarget(), working folder installFolder, the target's
// first icon. Nothing is reported; a shortcut that cannot be saved is simply missing.
void createShortcuts();
