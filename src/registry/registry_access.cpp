// Key access beneath the installation record.
#include "registry/registry_access.h"

#include <vector>

using platform::RegistryHandle;
using platform::RegistryRoot;
using platform::RegistryStatus;

RegistryStatus RegistryKey::open(RegistryRoot root, const std::wstring& path, uint32_t mask) {
    RegistryHandle fresh;
    const RegistryStatus status = platform::regOpenKey(root, path, mask, fresh);
    if (status == platform::kRegistrySuccess) {
        handle_ = std::move(fresh);  // releases the key held before
    }
    return status;
}

RegistryStatus RegistryKey::getDword(const std::wstring& name, uint32_t& value) const {
    unsigned char bytes[4] = {};
    uint32_t type = 0;
    uint32_t size = sizeof bytes;
    const RegistryStatus status = platform::regQueryValue(handle_, name, &type, bytes, &size);
    if (status != platform::kRegistrySuccess) {
        return status;
    }
    // A REG_DWORD of fewer than four bytes would leave part of the number undefined.
    if (type != platform::kRegDword || size != sizeof bytes) {
        return platform::kRegistryInvalidData;
    }
    value = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
            static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return platform::kRegistrySuccess;
}

RegistryStatus RegistryKey::getText(const std::wstring& name, char16_t* buffer,
                                    uint32_t& count) const {
    const uint32_t capacity = count;
    count = 0;
    uint32_t type = 0;
    uint32_t size = capacity * 2;
    const RegistryStatus status = platform::regQueryValue(handle_, name, &type, buffer, &size);
    if (status != platform::kRegistrySuccess) {
        return status;
    }
    if (type != platform::kRegSz && type != platform::kRegExpandSz) {
        return platform::kRegistryInvalidData;
    }
    if (buffer != nullptr) {
        if (size == 0) {
            if (capacity > 0) {
                buffer[0] = u'\0';
            }
            return platform::kRegistrySuccess;
        }
        if (size % 2 != 0 || buffer[size / 2 - 1] != u'\0') {
            return platform::kRegistryInvalidData;
        }
    }
    count = size / 2;
    return platform::kRegistrySuccess;
}

RegistryStatus RegistryKey::release() {
    return platform::regCloseKey(handle_);
}

int32_t readRegistryDword(const std::wstring& path, const std::wstring& name) {
    RegistryKey key;
    if (key.open(RegistryRoot::LocalMachine, path, kReadValueMask) != platform::kRegistrySuccess) {
        return -1;
    }
    uint32_t value = 0;
    if (key.getDword(name, value) != platform::kRegistrySuccess) {
        return -1;
    }
    return static_cast<int32_t>(value);
}

std::wstring readRegistryText(const std::wstring& path, const std::wstring& name) {
    std::vector<char16_t> buffer(kTextBufferUnits, u'\0');
    uint32_t count = kTextBufferUnits;
    RegistryKey key;
    if (key.open(RegistryRoot::LocalMachine, path, kReadValueMask) != platform::kRegistrySuccess) {
        return std::wstring();
    }
    if (key.getText(name, buffer.data(), count) != platform::kRegistrySuccess) {
        return std::wstring();
    }
    size_t length = 0;
    while (length < buffer.size() && buffer[length] != u'\0') {
        ++length;
    }
    return platform::fromRegistryUnits(buffer.data(), length);
}

RegistryStatus openOrCreateRecordKey(const std::wstring& path, RegistryHandle& key) {
    RegistryStatus status =
        platform::regOpenKey(RegistryRoot::LocalMachine, path, kRecordKeyMask, key);
    if (status != platform::kRegistrySuccess) {
        status = platform::regCreateKey(RegistryRoot::LocalMachine, path, kRecordKeyMask, key);
    }
    return status;
}

namespace {

void writeValue(const std::wstring& path, const std::wstring& name, uint32_t type, const void* data,
                uint32_t byteSize) {
    RegistryHandle key;
    if (openOrCreateRecordKey(path, key) != platform::kRegistrySuccess || !key.isOpen()) {
        return;
    }
    platform::regSetValue(key, name, type, data, byteSize);
}

}  // namespace

void writeRegistryDword(const std::wstring& path, const std::wstring& name, uint32_t value) {
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    writeValue(path, name, platform::kRegDword, bytes, sizeof bytes);
}

void writeRegistryText(const std::wstring& path, const std::wstring& name,
                       const std::wstring& text) {
    std::u16string units = platform::toRegistryUnits(text.substr(0, text.find(L'\0')));
    const uint32_t byteSize = static_cast<uint32_t>(units.size() * 2 + 2);
    units.push_back(u'\0');
    writeValue(path, name, platform::kRegSz, units.data(), byteSize);
}
