// The package checks: 7-Zip's own listing of the archive, read, and a walk over its entries.
#include "install/package_check.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "platform/process_runner.h"

namespace {

// Far more than the listing of any real package (a few hundred bytes an entry).
constexpr size_t kListingLimit = 64u << 20;
constexpr uint32_t kReparsePointAttribute = 0x400;
constexpr uint32_t kUnixTypeMask = 0170000;
constexpr uint32_t kUnixLink = 0120000;

// 7-Zip prints each Windows attribute bit it knows as one letter, bit 0 first ('.' for the
// bits it prints as a number instead).
constexpr char kAttributeLetters[] = "RHS8DAdNTsLCOIEVvX.PU.M......B";

bool isHexNumber(const std::string& token) {
    return token.size() == 8 && token.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

// A Unix mode as 7-Zip prints it: the type letter, then "rwx" three times (with s, S, t, T).
bool isUnixMode(const std::string& token) {
    static const std::string types = "0pc3d5b7-9lBsDEF";
    static const std::string rights = "rwxrwxrwx";
    if (token.size() != 10 || types.find(token[0]) == std::string::npos) {
        return false;
    }
    for (size_t i = 1; i < token.size(); ++i) {
        const char c = token[i];
        if (c != '-' && c != rights[i - 1] &&
            !(i % 3 == 0 && std::string("sStT").find(c) != std::string::npos)) {
            return false;
        }
    }
    return true;
}

// 7-Zip's "Attributes" value: the Windows attribute letters, any further bits as a hex
// number, then, when the archive carries a Unix mode, that mode. A link is what 7-Zip
// unpacks as one: the reparse point bit, or the Unix link type in the high 16 bits, from
// whatever host the entry came. False when the value is not of that shape.
bool readAttributes(const std::string& value, bool& link) {
    std::vector<std::string> tokens;
    size_t start = 0;
    for (size_t blank = value.find(' ');; blank = value.find(' ', start)) {
        tokens.push_back(
            value.substr(start, blank == std::string::npos ? std::string::npos : blank - start));
        if (blank == std::string::npos) {
            break;
        }
        start = blank + 1;
    }
    uint32_t bits = 0;
    for (char letter : tokens[0]) {
        const std::string letters = kAttributeLetters;
        const size_t bit = letters.find(letter);
        if (letter == '.' || bit == std::string::npos) {
            return false;
        }
        bits |= uint32_t{1} << bit;
    }
    bool unixLink = false;
    for (size_t i = 1; i < tokens.size(); ++i) {
        if (isHexNumber(tokens[i])) {
            bits |= static_cast<uint32_t>(std::stoul(tokens[i], nullptr, 16));
        } else if (isUnixMode(tokens[i])) {
            unixLink = unixLink || tokens[i][0] == 'l';
        } else {
            return false;
        }
    }
    link = unixLink || (bits & kReparsePointAttribute) != 0 ||
           ((bits >> 16) & kUnixTypeMask) == kUnixLink;
    return true;
}

// One block's "Key = value" lines as an entry; false when a needed key is missing, a key
// comes twice or a value is not understood.
bool readEntry(const std::map<std::string, std::string>& block, PackageEntry& entry) {
    const auto path = block.find("Path");
    const auto folder = block.find("Folder");
    const auto attributes = block.find("Attributes");
    if (path == block.end() || folder == block.end() || attributes == block.end() ||
        (folder->second != "+" && folder->second != "-")) {
        return false;
    }
    entry.path = path->second;
    entry.folder = folder->second == "+";
    if (!readAttributes(attributes->second, entry.link)) {
        return false;
    }
    for (const char* key : {"Symbolic Link", "Hard Link", "Link"}) {
        const auto target = block.find(key);
        entry.link = entry.link || (target != block.end() && !target->second.empty());
    }
    return true;
}

bool equalsIgnoringCase(const std::string& text, const std::string& lowerCase) {
    if (text.size() != lowerCase.size()) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const char c =
            text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
        if (c != lowerCase[i]) {
            return false;
        }
    }
    return true;
}

// CON, PRN, AUX, NUL, COM0-9 and LPT0-9 (also with the superscript digits), which Windows
// opens as devices whatever extension follows and whatever blanks end the name.
bool isDeviceName(const std::string& part) {
    std::string base = part.substr(0, part.find('.'));
    while (!base.empty() && base.back() == ' ') {
        base.pop_back();
    }
    for (const char* device : {"con", "prn", "aux", "nul", "conin$", "conout$"}) {
        if (equalsIgnoringCase(base, device)) {
            return true;
        }
    }
    if (base.size() < 4 || !(equalsIgnoringCase(base.substr(0, 3), "com") ||
                             equalsIgnoringCase(base.substr(0, 3), "lpt"))) {
        return false;
    }
    const std::string number = base.substr(3);
    return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') || number == "\xC2\xB9" ||
           number == "\xC2\xB2" || number == "\xC2\xB3";
}

// On Windows 7-Zip writes a backslash inside a Unix name as U+F05C (in UTF-8 here): a name
// that Windows tools would read as a path is checked as one.
const std::string kBackslashStandIn = "\xEF\x81\x9C";

size_t nextSeparator(const std::string& name, size_t from) {
    const size_t separator = name.find_first_of("/\\", from);
    const size_t standIn = name.find(kBackslashStandIn, from);
    const size_t end = std::min(separator, standIn);
    return end == std::string::npos ? name.size() : end;
}

}  // namespace

bool parseArchiveListing(const std::string& listing, std::vector<PackageEntry>& entries) {
    entries.clear();
    size_t at = 0;
    bool inEntries = false;
    std::map<std::string, std::string> block;
    bool parsed = true;
    auto finishBlock = [&] {
        PackageEntry entry;
        if (!block.empty()) {
            parsed = parsed && readEntry(block, entry);
            entries.push_back(entry);
        }
        block.clear();
    };
    while (at < listing.size() && parsed) {
        size_t end = listing.find('\n', at);
        if (end == std::string::npos) {
            end = listing.size();
        }
        std::string line = listing.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!inEntries) {
            inEntries = line == "----------";
            continue;
        }
        if (line.empty()) {
            finishBlock();
            continue;
        }
        // The value is taken as it is: a name may end in blanks.
        const size_t equals = line.find(" = ");
        if (equals == std::string::npos || equals == 0 ||
            !block.emplace(line.substr(0, equals), line.substr(equals + 3)).second) {
            parsed = false;
        }
    }
    finishBlock();
    return parsed && inEntries && !entries.empty();
}

bool entryNameIsSafe(const std::string& name) {
    if (name.empty() || name[0] == '/' || name[0] == '\\' ||
        name.find_first_of(std::string(":\0", 2)) != std::string::npos) {
        return false;
    }
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = nextSeparator(name, start);
        const std::string part = name.substr(start, end - start);
        start = end + (name.compare(end, kBackslashStandIn.size(), kBackslashStandIn) == 0
                           ? kBackslashStandIn.size()
                           : 1);
        if (part.empty() || part == ".") {
            continue;  // "a//b" and "./a" are "a/b" and "a"
        }
        if (part == ".." || part.back() == '.' || part.back() == ' ' || isDeviceName(part)) {
            return false;
        }
        parts.push_back(part);
    }
    // The folder's own archiver and batch file, which are running while the package unpacks.
    return !parts.empty() && !(parts.size() == 1 && (equalsIgnoringCase(parts[0], "7za.exe") ||
                                                     equalsIgnoringCase(parts[0], "unzip.bat")));
}

bool packageIsSafeToUnpack(const std::wstring& archiver, const std::wstring& archive) {
    // The archiver lists the entries as it will unpack them, names in UTF-8 whatever the
    // console's code page; the ZIP format is forced, as it is for unpacking.
    const platform::ProgramOutput listing = platform::runProgramForOutput(
        archiver, L"\"" + archiver + L"\" l -slt -tzip -sccUTF-8 \"" + archive + L"\"",
        kListingLimit);
    std::vector<PackageEntry> entries;
    if (!listing.completed || listing.exitCode != 0 ||
        !parseArchiveListing(listing.output, entries)) {
        return false;
    }
    for (const PackageEntry& entry : entries) {
        if (entry.link || !entryNameIsSafe(entry.path)) {
            return false;
        }
    }
    return true;
}
