// The application's entry in the system's list of installed programs.
#pragma once

#include "core/version.h"
#include "registry/install_record.h"

// The uninstall command: the quoted path of the setup program's copy in the installation
// folder, then " -uninstall ".
std::wstring uninstallCommand();

// Writes the uninstall entry and the installed version through `record`, with the package
// version the installation was started with. Failures are not reported.
void registerUninstallEntry(const InstallRecord& record, const Version& packageVersion);
