// Running programs without a window, and taskkill, on Windows.
#include <windows.h>

#include <vector>

#include "platform/process_runner.h"

namespace platform {

bool runHiddenAndWait(const std::wstring& commandLine, const std::wstring& workingFolder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // CreateProcessW may write into the command line, so it gets its own copy.
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup,
                        &process)) {
        return false;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return true;
}

void killProcessesByImageName(const std::wstring& imageName) {
    runHiddenAndWait(L"taskkill /f /im " + imageName);
}

}  // namespace platform
