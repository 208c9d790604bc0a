// Silent console mode. Not built yet: reports that there is nothing it can do.
#include "core/console_mode.h"

#include "core/exit_codes.h"

int runConsoleMode(const Version&, const std::wstring&) {
    return kExitNothingToDo;
}
