// The well-known folders of Windows that an uninstallation must never delete.
#include <windows.h>

#include <shlobj.h>

#include <cstdlib>

#include "platform/protected_folders.h"

namespace platform {

std::vector<std::wstring> wellKnownFolders() {
    static const KNOWNFOLDERID* const kFolders[] = {
        &FOLDERID_ProgramFiles,
        &FOLDERID_ProgramFilesX86,
        &FOLDERID_ProgramFilesCommon,
        &FOLDERID_ProgramFilesCommonX86,
        &FOLDERID_Windows,
        &FOLDERID_System,
        &FOLDERID_SystemX86,
        &FOLDERID_ProgramData,
        &FOLDERID_UserProfiles,
        &FOLDERID_Profile,
        &FOLDERID_Desktop,
        &FOLDERID_PublicDesktop,
        &FOLDERID_Documents,
        &FOLDERID_Public,
        &FOLDERID_StartMenu,
        &FOLDERID_Programs,
        &FOLDERID_CommonStartMenu,
        &FOLDERID_CommonPrograms,
        &FOLDERID_LocalAppData,
        &FOLDERID_RoamingAppData,
    };
    std::vector<std::wstring> folders;
    for (const KNOWNFOLDERID* id : kFolders) {
        PWSTR path = nullptr;
        if (SUCCEEDED(SHGetKnownFolderPath(*id, 0, nullptr, &path)) && path != nullptr &&
            path[0] != L'\0') {
            folders.emplace_back(path);
        }
        CoTaskMemFree(path);
    }
    // The 64-bit program folder, which a 32-bit program's known folders do not name.
    const wchar_t* programW6432 = _wgetenv(L"ProgramW6432");
    if (programW6432 != nullptr && programW6432[0] != L'\0') {
        folders.emplace_back(programW6432);
    }
    return folders;
}

}  // namespace platform
