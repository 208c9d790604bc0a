// The version manifest on the download server: the package version it names.
#pragma once

#include <cstddef>

#include "core/version.h"

// A manifest is a few lines; anything larger is not one.
inline constexpr size_t kMaxManifestBytes = 1024 * 1024;

// The package version; ends the process itself (exit code 2, after a message) when the manifest
// cannot be read or names no usable version: 1 to 64 letters, digits, ".", "-", "_" or "+".
Version readPackageVersion();
