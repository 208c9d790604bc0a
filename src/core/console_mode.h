// Silent console mode: the install decision and the pending action without a window.
#pragma once

#include <string>

#include "core/version.h"

// Returns the process exit code, unless the action ends the process itself.
int runConsoleMode(const Version& packageVersion, const std::wstring& culture);
