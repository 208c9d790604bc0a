// Key access beneath the installation record: four value operations on keys below
// HKEY_LOCAL_MACHINE and the key object the reads use. Nothing here reports an error: a failed
// read gives a fixed fallback value, a failed write is dropped.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry.h"

// Access masks of the record's keys.
inline constexpr uint32_t kReadValueMask = platform::kKeyRead;  // 0x20019
inline constexpr uint32_t kRecordKeyMask =
    platform::kKeyAllAccess | platform::kKeyWow64_32Key;           // 0xF023F
inline constexpr uint32_t kUserKeyMask = platform::kKeyAllAccess;  // 0xF003F

// The longest text a read can return is one unit shorter than this buffer.
inline constexpr uint32_t kTextBufferUnits = 512;

// Owns at most one open key. Opening obtains the new key first and releases the one held
// only then; a failed open keeps what was held.
class RegistryKey {
  public:
    platform::RegistryStatus open(platform::RegistryRoot root, const std::wstring& path,
                                  uint32_t mask);
    // The DWORD value; 13 (invalid data) for a value of another type or size.
    platform::RegistryStatus getDword(const std::wstring& name, uint32_t& value) const;
    // A REG_SZ or REG_EXPAND_SZ value, unexpanded, into `buffer` (may be null) of `count`
    // units; on success `count` is the number of units stored, terminator included. A value
    // without its terminator or with an odd byte size gives 13.
    platform::RegistryStatus getText(const std::wstring& name, char16_t* buffer,
                                     uint32_t& count) const;
    platform::RegistryStatus release();

  private:
    platform::RegistryHandle handle_;
};

// -1 on any failure (a stored 0xFFFFFFFF reads the same).
int32_t readRegistryDword(const std::wstring& path, const std::wstring& name);
// "" on any failure, and for values longer than 511 units.
std::wstring readRegistryText(const std::wstring& path, const std::wstring& name);
// Opens HKEY_LOCAL_MACHINE\path for writing in the 32-bit view, creating it (and the keys
// above it) when missing. The status of the last call.
platform::RegistryStatus openOrCreateRecordKey(const std::wstring& path,
                                               platform::RegistryHandle& key);
void writeRegistryDword(const std::wstring& path, const std::wstring& name, uint32_t value);
void writeRegistryText(const std::wstring& path, const std::wstring& name,
                       const std::wstring& text);
