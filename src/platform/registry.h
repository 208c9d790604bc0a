// The registry as the Win32 calls offer it: open or create a key below a root with an access
// mask, query and set typed values, enumerate, delete a tree or a value, close. Statuses are
// Windows error codes on both builds. Windows uses the real registry; the Linux build keeps the
// same keys in SQLite databases (machine-wide keys below the sysroot, the user's below the
// user's data folder), with the registry's rules: empty path components ignored, key and value
// names compared without regard to case, typed values kept as the bytes that were stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

enum class RegistryRoot { LocalMachine, CurrentUser, ClassesRoot };

using RegistryStatus = long;

inline constexpr RegistryStatus kRegistrySuccess = 0;
inline constexpr RegistryStatus kRegistryFileNotFound = 2;   // ERROR_FILE_NOT_FOUND
inline constexpr RegistryStatus kRegistryAccessDenied = 5;   // ERROR_ACCESS_DENIED
inline constexpr RegistryStatus kRegistryInvalidHandle = 6;  // ERROR_INVALID_HANDLE
inline constexpr RegistryStatus kRegistryInvalidData = 13;   // ERROR_INVALID_DATA
inline constexpr RegistryStatus kRegistryMoreData = 234;     // ERROR_MORE_DATA
inline constexpr RegistryStatus kRegistryNoMoreItems = 259;  // ERROR_NO_MORE_ITEMS
inline constexpr RegistryStatus kRegistryIoFailed = 1016;    // ERROR_REGISTRY_IO_FAILED
inline constexpr RegistryStatus kRegistryKeyDeleted = 1018;  // ERROR_KEY_DELETED

inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegDword = 4;

inline constexpr uint32_t kKeyQueryValue = 0x0001;
inline constexpr uint32_t kKeySetValue = 0x0002;
inline constexpr uint32_t kKeyRead = 0x20019;
inline constexpr uint32_t kKeyAllAccess = 0xF003F;
inline constexpr uint32_t kKeyWow64_32Key = 0x200;

// One open key; closed when destroyed. Moving hands the key over; assigning closes the key
// held before, after the new one was obtained.
class RegistryHandle {
  public:
    RegistryHandle() = default;
    ~RegistryHandle() { close(); }
    RegistryHandle(RegistryHandle&& other) noexcept : native_(other.native_) {
        other.native_ = nullptr;
    }
    RegistryHandle& operator=(RegistryHandle&& other) noexcept {
        if (this != &other) {
            close();
            native_ = other.native_;
            other.native_ = nullptr;
        }
        return *this;
    }
    RegistryHandle(const RegistryHandle&) = delete;
    RegistryHandle& operator=(const RegistryHandle&) = delete;

    bool isOpen() const { return native_ != nullptr; }
    void* native() const { return native_; }
    // For the implementations: take over a native key, or give it up without closing it.
    void adopt(void* native) {
        close();
        native_ = native;
    }
    void* detach() {
        void* native = native_;
        native_ = nullptr;
        return native;
    }
    // The status of closing (0 when nothing was open).
    RegistryStatus close();

  private:
    void* native_ = nullptr;
};

// RegOpenKeyExW: root\path with the mask. `out` changes only on success.
RegistryStatus regOpenKey(RegistryRoot root, const std::wstring& path, uint32_t mask,
                          RegistryHandle& out);
// RegCreateKeyExW (no class, non-volatile, default security): opens the key, creating it and
// every missing key above it. `out` changes only on success.
RegistryStatus regCreateKey(RegistryRoot root, const std::wstring& path, uint32_t mask,
                            RegistryHandle& out);
// RegQueryValueExW: the stored type and byte size, and the bytes when `data` is given. A
// buffer smaller than the value gives kRegistryMoreData with the size needed.
RegistryStatus regQueryValue(const RegistryHandle& key, const std::wstring& name, uint32_t* type,
                             void* data, uint32_t* byteSize);
// RegSetValueExW: stores the bytes exactly as given.
RegistryStatus regSetValue(const RegistryHandle& key, const std::wstring& name, uint32_t type,
                           const void* data, uint32_t byteSize);
// RegDeleteTreeW: the subkey with all its values and subkeys; an empty subkey empties the key.
RegistryStatus regDeleteTree(const RegistryHandle& key, const std::wstring& subkey);
// RegDeleteValueW.
RegistryStatus regDeleteValue(const RegistryHandle& key, const std::wstring& name);
// RegEnumKeyExW / RegEnumValueW by index; kRegistryNoMoreItems past the last one.
RegistryStatus regEnumKey(const RegistryHandle& key, uint32_t index, std::wstring& name);
RegistryStatus regEnumValue(const RegistryHandle& key, uint32_t index, std::wstring& name);
// RegCloseKey.
RegistryStatus regCloseKey(RegistryHandle& key);

inline RegistryStatus RegistryHandle::close() {
    return regCloseKey(*this);
}

// Registry texts are UTF-16 units on both builds (wchar_t is 32 bits wide on Linux).
inline std::u16string toRegistryUnits(const std::wstring& text) {
    std::u16string units;
    units.reserve(text.size());
    for (wchar_t c : text) {
        const uint32_t cp = static_cast<uint32_t>(c);
        if (sizeof(wchar_t) > 2 && cp > 0xFFFF && cp <= 0x10FFFF) {
            units.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(cp));
        }
    }
    return units;
}

inline std::wstring fromRegistryUnits(const char16_t* units, size_t count) {
    std::wstring text;
    text.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        uint32_t cp = units[i];
        if (sizeof(wchar_t) > 2 && cp >= 0xD800 && cp <= 0xDBFF && i + 1 < count &&
            units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        text.push_back(static_cast<wchar_t>(cp));
    }
    return text;
}

}  // namespace platform
