// The Windows entry point: hands the command line and show command to the core.

#include <windows.h>

#include "platform/entry.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
    platform::EntryArguments arguments;
    arguments.instance = instance;
    arguments.commandLine = commandLine != nullptr ? commandLine : L"";
    arguments.showCommand = showCommand;
    return setupMain(arguments);
}
