// The registry as the installation tests leave it: the record's keys of both brands read and
// written directly, and removed again after each test (the Wine prefix is shared).
#pragma once

#include <string>
#include <vector>

#include "platform/registry.h"
#include "registry/registry_access.h"

namespace installtest {

inline std::wstring productKey(const std::wstring& maker) {
    return L"SOFTWARE\\" + maker + L"\\SSD Helmsight";
}

inline std::wstring uninstallKey(const std::wstring& entry) {
    return L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + entry;
}

inline const wchar_t* const kOldDriverMarkerKey =
    L"CLSID\\{109DC3E4-B9FF-4AF3-9008-AB13705D4E5F}\\Instance\\"
    L"{E9BBD754-6CF4-492E-BA89-782177A2771B}\\Instance\\"
    L"{D37DAC4A-CEDC-453D-8659-6AD9451C9AA8}";

inline void deleteKeyTree(platform::RegistryRoot root, const std::wstring& parent,
                          const std::wstring& name, uint32_t mask) {
    platform::RegistryHandle key;
    if (platform::regOpenKey(root, parent, mask, key) == platform::kRegistrySuccess) {
        platform::regDeleteTree(key, name);
    }
}

// Everything the installation tests may have written: both makers' keys, both uninstall
// entries, the driver marker.
inline void removeRecordKeys() {
    using platform::RegistryRoot;
    const uint32_t mask = kRecordKeyMask;
    for (const wchar_t* maker : {L"Korvane", L"Vantrel"}) {
        deleteKeyTree(RegistryRoot::LocalMachine, L"SOFTWARE", maker, mask);
    }
    for (const wchar_t* entry : {L"Korvane SSD Helmsight", L"Vantrel SSD Helmsight"}) {
        deleteKeyTree(RegistryRoot::LocalMachine,
                      L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", entry, mask);
    }
    deleteKeyTree(RegistryRoot::ClassesRoot, L"CLSID", L"{109DC3E4-B9FF-4AF3-9008-AB13705D4E5F}",
                  platform::kKeyAllAccess);
}

inline bool recordKeyExists(const std::wstring& path) {
    platform::RegistryHandle key;
    return platform::regOpenKey(platform::RegistryRoot::LocalMachine, path, kRecordKeyMask, key) ==
           platform::kRegistrySuccess;
}

inline std::vector<std::wstring> valueNames(const std::wstring& path) {
    std::vector<std::wstring> names;
    platform::RegistryHandle key;
    if (platform::regOpenKey(platform::RegistryRoot::LocalMachine, path, kRecordKeyMask, key) !=
        platform::kRegistrySuccess) {
        return names;
    }
    std::wstring name;
    for (uint32_t i = 0; platform::regEnumValue(key, i, name) == platform::kRegistrySuccess; ++i) {
        names.push_back(name);
    }
    return names;
}

}  // namespace installtest
