// Starting the prerequisite installers and stopping the application, for both workers.
#pragma once

#include <string>

// Runs the command line without a window and returns when the program has ended. Whether it
// started and how it ended are not reported: the workers go on either way.
void runAndWait(const std::wstring& commandLine);

// Ends every running process of the program file name `imageName` (a bare name such as
// "Helmsight.exe") by force; a name with no running process is not an error.
void killProcessByImageName(const std::wstring& imageName);
