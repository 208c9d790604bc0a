// The console on Windows: AllocConsole and standard output reopened onto "CONOUT$".
#include <windows.h>

#include <io.h>

#include <cstdio>
#include <mutex>

#include "platform/console.h"

namespace platform {
namespace {

std::once_flag consoleOnce;
bool consoleReady = false;

}  // namespace

bool openConsole() {
    std::call_once(consoleOnce, [] {
        AllocConsole();
        consoleReady = _wfreopen(L"CONOUT$", L"w", stdout) != nullptr;
    });
    return consoleReady;
}

void writeConsoleLine(const std::wstring& line) {
    std::fflush(stdout);
    const std::wstring text = line + L"\n";
    DWORD written = 0;
    if (consoleReady) {
        HANDLE out = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stdout)));
        if (WriteConsoleW(out, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr)) {
            return;
        }
    }
    // No console of our own (or standard output handed to a file or pipe): UTF-8 bytes.
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? static_cast<size_t>(size - 1) : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

}  // namespace platform
