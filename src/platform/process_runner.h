// Starting other programs for the workers: a command line run without a window and waited
// for, a program run by its full path (waited for, or read through a pipe), and ending every
// running process of one program file name.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// Starts `commandLine` (split with the Windows rules: the first item is the program, a path
// with blanks must be quoted) without a window and without the caller's console, and waits
// until the process has ended. An empty `workingFolder` keeps the caller's current folder.
// False when the program could not be started.
bool runHiddenAndWait(const std::wstring& commandLine, const std::wstring& workingFolder = L"");

// The same for the program file `program`, named by its full path so that nothing is
// searched for it; `commandLine` is what the program is given (its first item names the
// program again, as on Windows).
bool runProgramHiddenAndWait(const std::wstring& program, const std::wstring& commandLine,
                             const std::wstring& workingFolder = L"");

// What a program run for its output printed, and how it ended.
struct ProgramOutput {
    bool completed = false;  // started, ended by itself, and printed no more than the limit
    unsigned long exitCode = 0;
    std::string output;  // its standard output, byte for byte
};

// Runs `program` by its full path as runProgramHiddenAndWait does, in the caller's current
// folder, with its standard output read through a pipe (standard input and standard error on
// the null device), and waits until it has ended. A program that prints more than
// `outputLimit` bytes is ended by force and is not `completed`.
ProgramOutput runProgramForOutput(const std::wstring& program, const std::wstring& commandLine,
                                  size_t outputLimit);

// Ends every running process whose program file name is `imageName`, by force. Windows runs
// "taskkill /f /im NAME" (the System folder's taskkill.exe); Linux sends SIGKILL to each
// process whose executable has that name.
void killProcessesByImageName(const std::wstring& imageName);

}  // namespace platform
