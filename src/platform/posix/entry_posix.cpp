// The Linux entry point: sets the file creation mask, then joins argv into the command-line
// text the core expects.
#include <sys/stat.h>

#include <clocale>

#include "platform/entry.h"
#include "platform/posix/command_line_posix.h"

int main(int argc, char** argv) {
    // The relaunched copy runs as root and creates the installation, the installers it runs
    // next and the machine database: none of them may inherit a caller's lax mask.
    umask(022);
    std::setlocale(LC_ALL, "");
    platform::EntryArguments arguments;
    arguments.commandLine = platform::joinCommandLine(argc, argv);
    return setupMain(arguments);
}
