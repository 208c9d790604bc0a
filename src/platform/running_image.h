// The program's own file as it was started. The elevated copy runs from the user's temporary
// folder, where the user may replace the file at any time; the copy placed in the installation
// folder (and registered as the uninstall command) must be the program that runs, so it is made
// from a handle taken at start-up, never from the path.
#pragma once

#include <string>

namespace platform {

// Opens the running program's own file and keeps it open until the process ends. Windows opens
// it by path with sharing that denies writing and deleting; Linux opens /proc/self/exe, which
// names the running image even when its path has been replaced. Called once, early in start-up.
void holdRunningImage();

// Writes the held file's bytes to `target`, replacing any file there (Linux: as a program,
// mode 0755, not following a link at `target`). False when nothing is held or the copy fails.
bool copyRunningImageTo(const std::wstring& target);

}  // namespace platform
