// The package checks: a reader of the ZIP central directory, and a walk over the results.
#include "install/package_check.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <system_error>

namespace {

constexpr uint32_t kEndOfDirectorySignature = 0x06054b50;
constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr uint32_t kZip64EndSignature = 0x06064b50;
constexpr uint32_t kDirectoryEntrySignature = 0x02014b50;
constexpr uint16_t kUnicodePathExtra = 0x7075;
constexpr size_t kEndOfDirectorySize = 22;
constexpr size_t kZip64LocatorSize = 20;
constexpr size_t kDirectoryEntrySize = 46;
constexpr size_t kLongestComment = 0xFFFF;
constexpr uint8_t kUnixHost = 3;
constexpr uint32_t kUnixTypeMask = 0170000;
constexpr uint32_t kUnixLink = 0120000;
constexpr uint32_t kReparsePointAttribute = 0x400;

uint64_t little(const std::string& bytes, size_t at, size_t width) {
    uint64_t value = 0;
    for (size_t i = 0; i < width; ++i) {
        value |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return value;
}

bool readAt(std::ifstream& in, uint64_t offset, size_t length, std::string& out) {
    out.assign(length, '\0');
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    return in.read(out.data(), static_cast<std::streamsize>(length)).good();
}

// The Unicode path extra entry (Info-ZIP): version 1, CRC of the plain name, UTF-8 name.
void addUnicodePaths(const std::string& extra, bool link, std::vector<ZipEntry>& entries) {
    size_t at = 0;
    while (at + 4 <= extra.size()) {
        const uint16_t id = static_cast<uint16_t>(little(extra, at, 2));
        const size_t size = static_cast<size_t>(little(extra, at + 2, 2));
        if (at + 4 + size > extra.size()) {
            break;
        }
        if (id == kUnicodePathExtra && size > 5) {
            entries.push_back(ZipEntry{extra.substr(at + 9, size - 5), link});
        }
        at += 4 + size;
    }
}

}  // namespace

bool readZipEntries(const std::filesystem::path& archive, std::vector<ZipEntry>& entries) {
    entries.clear();
    std::ifstream in(archive, std::ios::binary);
    std::error_code error;
    const uint64_t size = std::filesystem::file_size(archive, error);
    if (!in || error || size < kEndOfDirectorySize) {
        return false;
    }
    // The end record is the last one whose comment reaches exactly to the end of the file.
    const uint64_t tailLength = std::min<uint64_t>(size, kEndOfDirectorySize + kLongestComment);
    std::string tail;
    if (!readAt(in, size - tailLength, static_cast<size_t>(tailLength), tail)) {
        return false;
    }
    size_t end = std::string::npos;
    for (size_t at = tail.size() - kEndOfDirectorySize + 1; at-- > 0;) {
        if (little(tail, at, 4) == kEndOfDirectorySignature &&
            at + kEndOfDirectorySize + little(tail, at + 20, 2) == tail.size()) {
            end = at;
            break;
        }
    }
    if (end == std::string::npos) {
        return false;
    }
    uint64_t count = little(tail, end + 10, 2);
    uint64_t offset = little(tail, end + 16, 4);
    const uint64_t endOffset = size - tailLength + end;
    std::string locator;
    if (endOffset >= kZip64LocatorSize &&
        readAt(in, endOffset - kZip64LocatorSize, kZip64LocatorSize, locator) &&
        little(locator, 0, 4) == kZip64LocatorSignature) {
        std::string record;
        if (!readAt(in, little(locator, 8, 8), 56, record) ||
            little(record, 0, 4) != kZip64EndSignature) {
            return false;
        }
        count = little(record, 32, 8);
        offset = little(record, 48, 8);
    }
    for (uint64_t i = 0; i < count; ++i) {
        std::string header;
        if (!readAt(in, offset, kDirectoryEntrySize, header) ||
            little(header, 0, 4) != kDirectoryEntrySignature) {
            return false;
        }
        const uint8_t host = static_cast<uint8_t>(little(header, 5, 1));
        const uint32_t attributes = static_cast<uint32_t>(little(header, 38, 4));
        const size_t nameLength = static_cast<size_t>(little(header, 28, 2));
        const size_t extraLength = static_cast<size_t>(little(header, 30, 2));
        const size_t commentLength = static_cast<size_t>(little(header, 32, 2));
        const bool link =
            (host == kUnixHost && ((attributes >> 16) & kUnixTypeMask) == kUnixLink) ||
            (attributes & kReparsePointAttribute) != 0;
        std::string name;
        std::string extra;
        if (!readAt(in, offset + kDirectoryEntrySize, nameLength, name) ||
            !readAt(in, offset + kDirectoryEntrySize + nameLength, extraLength, extra)) {
            return false;
        }
        entries.push_back(ZipEntry{name, link});
        addUnicodePaths(extra, link, entries);
        offset += kDirectoryEntrySize + nameLength + extraLength + commentLength;
    }
    return true;
}

bool entryNameStaysInside(const std::string& name) {
    if (name.empty() || name[0] == '/' || name[0] == '\\' || name.find(':') != std::string::npos ||
        name.find('\0') != std::string::npos) {
        return false;
    }
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("/\\", start);
        if (end == std::string::npos) {
            end = name.size();
        }
        if (name.compare(start, end - start, "..") == 0 && end - start == 2) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

bool packageIsSafeToUnpack(const std::filesystem::path& archive) {
    std::vector<ZipEntry> entries;
    if (!readZipEntries(archive, entries)) {
        return false;
    }
    for (const ZipEntry& entry : entries) {
        if (entry.link || !entryNameStaysInside(entry.name)) {
            return false;
        }
    }
    return true;
}
