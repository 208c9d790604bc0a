// The registry on Windows: the ADVAPI32 functions, bound by name from advapi32.dll in the
// System folder when the first of them is called.

#include <windows.h>

#include <atomic>
#include <vector>

#include "platform/registry.h"
#include "platform/win32/system_library.h"

namespace platform {
namespace {

using RegOpenKeyExFn = LONG(WINAPI*)(HKEY, LPCWSTR, DWORD, REGSAM, PHKEY);
using RegCreateKeyExFn = LONG(WINAPI*)(HKEY, LPCWSTR, DWORD, LPWSTR, DWORD, REGSAM,
                                       const SECURITY_ATTRIBUTES*, PHKEY, LPDWORD);
using RegQueryValueExFn = LONG(WINAPI*)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
using RegSetValueExFn = LONG(WINAPI*)(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD);
using RegDeleteTreeFn = LONG(WINAPI*)(HKEY, LPCWSTR);
using RegDeleteValueFn = LONG(WINAPI*)(HKEY, LPCWSTR);
using RegEnumKeyExFn = LONG(WINAPI*)(HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPWSTR, LPDWORD,
                                     PFILETIME);
using RegEnumValueFn = LONG(WINAPI*)(HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPDWORD, LPBYTE,
                                     LPDWORD);
using RegCloseKeyFn = LONG(WINAPI*)(HKEY);

// Whichever thread binds first stores the same addresses, so relaxed atomics are enough.
std::atomic<RegOpenKeyExFn> openEntry{nullptr};
std::atomic<RegCreateKeyExFn> createEntry{nullptr};
std::atomic<RegQueryValueExFn> queryEntry{nullptr};
std::atomic<RegSetValueExFn> setEntry{nullptr};
std::atomic<RegDeleteTreeFn> deleteTreeEntry{nullptr};
std::atomic<RegDeleteValueFn> deleteValueEntry{nullptr};
std::atomic<RegEnumKeyExFn> enumKeyEntry{nullptr};
std::atomic<RegEnumValueFn> enumValueEntry{nullptr};
std::atomic<RegCloseKeyFn> closeEntry{nullptr};

template <typename Fn>
void bindEntry(HMODULE library, const char* name, std::atomic<Fn>& entry) {
    entry.store(reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name))),
                std::memory_order_relaxed);
}

void bindRegistryFunctions() {
    HMODULE library = loadSystemLibrary(L"advapi32.dll");
    if (library == nullptr) {
        return;
    }
    bindEntry(library, "RegOpenKeyExW", openEntry);
    bindEntry(library, "RegCreateKeyExW", createEntry);
    bindEntry(library, "RegQueryValueExW", queryEntry);
    bindEntry(library, "RegSetValueExW", setEntry);
    bindEntry(library, "RegDeleteTreeW", deleteTreeEntry);
    bindEntry(library, "RegDeleteValueW", deleteValueEntry);
    bindEntry(library, "RegEnumKeyExW", enumKeyEntry);
    bindEntry(library, "RegEnumValueW", enumValueEntry);
    bindEntry(library, "RegCloseKey", closeEntry);
}

template <typename Fn>
Fn bound(std::atomic<Fn>& entry) {
    if (entry.load(std::memory_order_relaxed) == nullptr) {
        bindRegistryFunctions();
    }
    return entry.load(std::memory_order_relaxed);
}

constexpr RegistryStatus kProcNotFound = ERROR_PROC_NOT_FOUND;

HKEY rootKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case RegistryRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        case RegistryRoot::ClassesRoot:
            return HKEY_CLASSES_ROOT;
    }
    return HKEY_LOCAL_MACHINE;
}

HKEY nativeKey(const RegistryHandle& key) {
    return static_cast<HKEY>(key.native());
}

// RegEnumKeyExW and RegEnumValueW name the index-th entry the same way; `capacity` holds the
// longest name and its terminator.
template <typename EnumFn>
RegistryStatus enumName(EnumFn fn, const RegistryHandle& key, uint32_t index, DWORD capacity,
                        std::wstring& name) {
    if (fn == nullptr) {
        return kProcNotFound;
    }
    std::vector<wchar_t> buffer(capacity);
    DWORD length = capacity;
    const LONG status =
        fn(nativeKey(key), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS) {
        name.assign(buffer.data(), length);
    }
    return status;
}

}  // namespace

RegistryStatus regOpenKey(RegistryRoot root, const std::wstring& path, uint32_t mask,
                          RegistryHandle& out) {
    RegOpenKeyExFn fn = bound(openEntry);
    if (fn == nullptr) {
        return kProcNotFound;
    }
    HKEY key = nullptr;
    const LONG status = fn(rootKey(root), path.c_str(), 0, mask, &key);
    if (status == ERROR_SUCCESS) {
        out.adopt(key);
    }
    return status;
}

RegistryStatus regCreateKey(RegistryRoot root, const std::wstring& path, uint32_t mask,
                            RegistryHandle& out) {
    RegCreateKeyExFn fn = bound(createEntry);
    if (fn == nullptr) {
        return kProcNotFound;
    }
    HKEY key = nullptr;
    const LONG status = fn(rootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, mask,
                           nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
        out.adopt(key);
    }
    return status;
}

RegistryStatus regQueryValue(const RegistryHandle& key, const std::wstring& name, uint32_t* type,
                             void* data, uint32_t* byteSize) {
    RegQueryValueExFn fn = bound(queryEntry);
    if (fn == nullptr) {
        return kProcNotFound;
    }
    DWORD storedType = 0;
    DWORD size = byteSize != nullptr ? *byteSize : 0;
    const LONG status = fn(nativeKey(key), name.c_str(), nullptr, &storedType,
                           static_cast<LPBYTE>(data), byteSize != nullptr ? &size : nullptr);
    if (type != nullptr) {
        *type = storedType;
    }
    if (byteSize != nullptr) {
        *byteSize = size;
    }
    return status;
}

RegistryStatus regSetValue(const RegistryHandle& key, const std::wstring& name, uint32_t type,
                           const void* data, uint32_t byteSize) {
    RegSetValueExFn fn = bound(setEntry);
    if (fn == nullptr) {
        return kProcNotFound;
    }
    return fn(nativeKey(key), name.c_str(), 0, type, static_cast<const BYTE*>(data), byteSize);
}

RegistryStatus regDeleteTree(const RegistryHandle& key, const std::wstring& subkey) {
    RegDeleteTreeFn fn = bound(deleteTreeEntry);
    if (fn == nullptr) {
        return kProcNotFound;
    }
    return fn(nativeKey(key), subkey.empty() ? nullptr : subkey.c_str());
}

RegistryStatus regDeleteValue(const RegistryHandle& key, const std::wstring& name) {
    RegDeleteValueFn fn = bound(deleteValueEntry);
    if (fn == nullptr) {
        return kProcNotFound;
    }
    return fn(nativeKey(key), name.c_str());
}

RegistryStatus regEnumKey(const RegistryHandle& key, uint32_t index, std::wstring& name) {
    // Key names hold at most 255 characters.
    return enumName(bound(enumKeyEntry), key, index, 256, name);
}

RegistryStatus regEnumValue(const RegistryHandle& key, uint32_t index, std::wstring& name) {
    // Value names hold at most 16383 characters.
    return enumName(bound(enumValueEntry), key, index, 16384, name);
}

RegistryStatus regCloseKey(RegistryHandle& key) {
    void* native = key.detach();
    if (native == nullptr) {
        return ERROR_SUCCESS;
    }
    RegCloseKeyFn fn = bound(closeEntry);
    return fn != nullptr ? fn(static_cast<HKEY>(native)) : kProcNotFound;
}

}  // namespace platform
