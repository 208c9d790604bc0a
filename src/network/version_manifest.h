// The version manifest on the download server: the package version it names.
#pragma once

#include "core/version.h"

// The package version; ends the process itself when the manifest cannot be read.
Version readPackageVersion();
