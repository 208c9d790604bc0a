// Known folders and the program's own path on Windows.
#include <windows.h>

#include <shlobj.h>

#include "platform/folders.h"

namespace platform {
namespace {

std::wstring knownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) {
        result = path;
    }
    CoTaskMemFree(path);
    return result;
}

}  // namespace

std::wstring programFilesX86Folder() {
    return knownFolder(FOLDERID_ProgramFilesX86);
}

std::wstring systemFolder() {
    return knownFolder(FOLDERID_System);
}

std::wstring ownModulePath() {
    wchar_t buffer[260] = {};
    GetModuleFileNameW(nullptr, buffer, 260);
    return buffer;
}

}  // namespace platform
