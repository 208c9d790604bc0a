// The Linux entry point: joins argv into the command-line text the core expects.
#include <clocale>

#include "platform/entry.h"
#include "platform/posix/command_line_posix.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    platform::EntryArguments arguments;
    arguments.commandLine = platform::joinCommandLine(argc, argv);
    return setupMain(arguments);
}
