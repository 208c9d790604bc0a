// The process runner of the workers.
#include "install/process_runner.h"

#include "platform/process_runner.h"

void runAndWait(const std::wstring& commandLine) {
    platform::runHiddenAndWait(commandLine);
}

void killProcessByImageName(const std::wstring& imageName) {
    platform::killProcessesByImageName(imageName);
}
