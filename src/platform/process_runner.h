// Starting other programs for the workers: a command line run without a window and waited
// for, and ending every running process of one program file name.
#pragma once

#include <string>

namespace platform {

// Starts `commandLine` (split with the Windows rules: the first item is the program, a path
// with blanks must be quoted) without a window and without the caller's console, and waits
// until the process has ended. An empty `workingFolder` keeps the caller's current folder.
// False when the program could not be started.
bool runHiddenAndWait(const std::wstring& commandLine, const std::wstring& workingFolder = L"");

// Ends every running process whose program file name is `imageName`, by force. Windows runs
// "taskkill /f /im NAME"; Linux sends SIGKILL to each process whose executable has that name.
void killProcessesByImageName(const std::wstring& imageName);

}  // namespace platform
