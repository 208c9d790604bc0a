// The running process: library search hardening, immediate exit.
#pragma once

namespace platform {

// Drop the current folder from the library search and restrict it to the System folder.
void hardenLibrarySearch();

// Ends the process at once with the exit code, from any thread. Console output is flushed;
// static destructors do not run (they would race a UI thread still running).
[[noreturn]] void exitProcessNow(int exitCode);

}  // namespace platform
