// Elevation: the temporary copy's name, starting it with administrator rights, and the
// administrator check.
#pragma once

#include <optional>
#include <string>

namespace platform {

// A full path in the user's temporary folder that names nothing existing; empty when none
// could be made.
std::wstring uniqueTempName();

// Folds a path the way the file system compares names: A-Z to a-z on Windows, unchanged on
// Linux, whose file names are case-sensitive.
std::wstring foldPathCase(std::wstring path);

// Starts `program` with `parameters` (one command-line text) with administrator rights:
// Windows asks through the "runas" verb; Linux runs it directly when this user may already
// write the machine-wide locations, else through pkexec. With waitForExit the result is the
// program's exit code; without, a value means it was started. Empty when it could not start.
std::optional<int> startElevated(const std::wstring& program, const std::wstring& parameters,
                                 bool waitForExit);

enum class AdministratorCheck { Member, NotMember, Unknown };

// Whether this process may do an administrator's work (Windows: membership of the local
// Administrators group; Linux: root, or a writable sysroot). Unknown when the check itself
// could not be made.
AdministratorCheck checkAdministrator();

}  // namespace platform
