// Where the Linux build keeps its registry: one SQLite database for the machine-wide keys
// (HKEY_LOCAL_MACHINE, and HKEY_CLASSES_ROOT as its SOFTWARE\Classes) and one for the user's
// (HKEY_CURRENT_USER).
#pragma once

#include <string>

namespace platform {

// <sysroot>/var/lib/helmsight/registry.db
std::string machineRegistryDatabase();
// $XDG_DATA_HOME/helmsight/registry.db, else $HOME/.local/share/helmsight/registry.db
std::string userRegistryDatabase();

}  // namespace platform
