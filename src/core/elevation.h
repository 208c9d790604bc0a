// Elevation: the relaunch from a temporary copy, and the administrator check.
#pragma once

#include <string>

// Returns only when this process already runs from the temporary folder; otherwise starts
// the copy (or reports why it cannot) and ends the process.
void relaunchElevatedFromTemp(const std::wstring& parameters);

// True for an administrator; false after showing the "admin_installer" message.
bool isAdministrator();
