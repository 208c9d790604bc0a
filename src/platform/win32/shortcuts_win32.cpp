// Shell links through the shell's link object (COM), and the folders they go in.
#include <windows.h>

#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "platform/shortcuts.h"

namespace platform {
namespace {

// The link object and its file interface, released together.
struct ShellLinkObject {
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;

    ShellLinkObject() {
        // The worker thread initialises COM for itself here; it is never uninitialised.
        CoInitialize(nullptr);
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_ALL, IID_IShellLinkW,
                                    reinterpret_cast<void**>(&link)))) {
            link = nullptr;
            return;
        }
        if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            file = nullptr;
        }
    }
    ~ShellLinkObject() {
        if (file != nullptr) {
            file->Release();
        }
        if (link != nullptr) {
            link->Release();
        }
    }
    ShellLinkObject(const ShellLinkObject&) = delete;
    ShellLinkObject& operator=(const ShellLinkObject&) = delete;
};

}  // namespace

std::wstring desktopFolder() {
    wchar_t buffer[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_DESKTOP, FALSE)) {
        return std::wstring();
    }
    return buffer;
}

std::wstring commonProgramsFolder() {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT,
                                buffer))) {
        return std::wstring();
    }
    return buffer;
}

bool saveShortcut(const ShortcutProperties& properties,
                  const std::vector<std::wstring>& linkPaths) {
    ShellLinkObject object;
    if (object.link == nullptr) {
        return false;
    }
    object.link->SetPath(properties.target.c_str());
    object.link->SetWorkingDirectory(properties.workingFolder.c_str());
    object.link->SetIconLocation(properties.iconPath.c_str(), properties.iconIndex);
    if (object.file == nullptr) {
        return false;
    }
    for (const std::wstring& path : linkPaths) {
        object.file->Save(path.c_str(), TRUE);
    }
    return true;
}

bool readShortcut(const std::wstring& linkPath, ShortcutProperties& properties) {
    ShellLinkObject object;
    if (object.file == nullptr || FAILED(object.file->Load(linkPath.c_str(), STGM_READ))) {
        return false;
    }
    wchar_t buffer[MAX_PATH] = {};
    object.link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH);
    properties.target = buffer;
    buffer[0] = L'\0';
    object.link->GetWorkingDirectory(buffer, MAX_PATH);
    properties.workingFolder = buffer;
    buffer[0] = L'\0';
    int index = 0;
    object.link->GetIconLocation(buffer, MAX_PATH, &index);
    properties.iconPath = buffer;
    properties.iconIndex = index;
    return true;
}

}  // namespace platform
