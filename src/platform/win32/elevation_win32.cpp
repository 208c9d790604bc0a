// Elevation on Windows: temp names, ShellExecuteEx with "runas", Administrators membership.
#include <windows.h>

#include <shellapi.h>

#include <random>

#include "platform/elevation.h"
#include "platform/files.h"

namespace platform {

std::wstring uniqueTempName() {
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) {
        return std::wstring();
    }
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        wchar_t name[16] = {};
        swprintf(name, 16, L"hs%08x", static_cast<unsigned>(random()));
        const std::wstring candidate = std::wstring(folder) + name;
        std::error_code error;
        if (candidate.size() <= 259 && !std::filesystem::exists(toPath(candidate), error)) {
            return candidate;
        }
    }
    return std::wstring();
}

std::wstring foldPathCase(std::wstring path) {
    for (wchar_t& c : path) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    return path;
}

std::optional<int> startElevated(const std::wstring& program, const std::wstring& parameters,
                                 bool waitForExit) {
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = waitForExit ? SEE_MASK_NOCLOSEPROCESS : 0;
    info.lpVerb = L"runas";
    info.lpFile = program.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) {
        return std::nullopt;
    }
    if (!waitForExit) {
        return 0;
    }
    if (info.hProcess == nullptr) {
        return std::nullopt;
    }
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD exitCode = 0;
    const BOOL known = GetExitCodeProcess(info.hProcess, &exitCode);
    CloseHandle(info.hProcess);
    if (!known) {
        return std::nullopt;
    }
    return static_cast<int>(exitCode);
}

AdministratorCheck checkAdministrator() {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                  DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators)) {
        return AdministratorCheck::Unknown;
    }
    BOOL member = FALSE;
    const BOOL checked = CheckTokenMembership(nullptr, administrators, &member);
    FreeSid(administrators);
    return checked && member ? AdministratorCheck::Member : AdministratorCheck::NotMember;
}

}  // namespace platform
