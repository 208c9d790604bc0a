// Running programs without a window (by command line, or by full path with or without a pipe
// for their output), and taskkill from the System folder, on Windows.
#include <windows.h>

#include <vector>

#include "platform/folders.h"
#include "platform/process_runner.h"

namespace platform {
namespace {

// A handle closed when it goes out of scope.
class OwnedHandle {
  public:
    OwnedHandle() = default;
    explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    ~OwnedHandle() { reset(); }
    HANDLE get() const { return handle_; }
    HANDLE* out() { return &handle_; }
    bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    void reset() {
        if (valid()) {
            CloseHandle(handle_);
        }
        handle_ = nullptr;
    }

  private:
    HANDLE handle_ = nullptr;
};

// Starts the process without a window. An empty `program` takes the program from the
// command line (the Windows search); otherwise nothing is searched. Handles are inherited
// only when `startup` names standard handles.
bool startHidden(const std::wstring& program, const std::wstring& commandLine,
                 const std::wstring& workingFolder, STARTUPINFOW& startup, OwnedHandle& process) {
    PROCESS_INFORMATION started{};
    // CreateProcessW may write into the command line, so it gets its own copy.
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    const BOOL inherit = (startup.dwFlags & STARTF_USESTDHANDLES) != 0;
    if (!CreateProcessW(program.empty() ? nullptr : program.c_str(), buffer.data(), nullptr,
                        nullptr, inherit, CREATE_NO_WINDOW, nullptr,
                        workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup,
                        &started)) {
        return false;
    }
    CloseHandle(started.hThread);
    *process.out() = started.hProcess;
    return true;
}

bool startHiddenAndWait(const std::wstring& program, const std::wstring& commandLine,
                        const std::wstring& workingFolder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    OwnedHandle process;
    if (!startHidden(program, commandLine, workingFolder, startup, process)) {
        return false;
    }
    WaitForSingleObject(process.get(), INFINITE);
    return true;
}

}  // namespace

bool runHiddenAndWait(const std::wstring& commandLine, const std::wstring& workingFolder) {
    return startHiddenAndWait(L"", commandLine, workingFolder);
}

bool runProgramHiddenAndWait(const std::wstring& program, const std::wstring& commandLine,
                             const std::wstring& workingFolder) {
    return !program.empty() && startHiddenAndWait(program, commandLine, workingFolder);
}

ProgramOutput runProgramForOutput(const std::wstring& program, const std::wstring& commandLine,
                                  size_t outputLimit) {
    ProgramOutput result;
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    OwnedHandle readEnd;
    OwnedHandle writeEnd;
    if (program.empty() || !CreatePipe(readEnd.out(), writeEnd.out(), &inheritable, 0)) {
        return result;
    }
    // Only the child's ends are inherited; our reading end stays ours.
    SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
    OwnedHandle nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0,
                                nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul.get();
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = nul.get();
    OwnedHandle process;
    const bool started = startHidden(program, commandLine, L"", startup, process);
    // The pipe ends when the child's copy of the writing end closes, so ours goes now.
    writeEnd.reset();
    nul.reset();
    if (!started) {
        return result;
    }
    bool cut = false;
    char block[4096];
    DWORD got = 0;
    while (ReadFile(readEnd.get(), block, sizeof block, &got, nullptr) && got > 0) {
        if (result.output.size() + got > outputLimit) {
            TerminateProcess(process.get(), 1);
            cut = true;
            break;
        }
        result.output.append(block, got);
    }
    readEnd.reset();
    WaitForSingleObject(process.get(), INFINITE);
    DWORD exitCode = 0;
    result.completed = GetExitCodeProcess(process.get(), &exitCode) && !cut;
    result.exitCode = exitCode;
    return result;
}

void killProcessesByImageName(const std::wstring& imageName) {
    // By full path: a taskkill.exe beside the program (its temporary copy's folder belongs to
    // the user) must not run in its place.
    runProgramHiddenAndWait(systemFolder() + L"\\taskkill.exe", L"taskkill /f /im " + imageName);
}

}  // namespace platform
