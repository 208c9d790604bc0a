// helmsight-reg: the Linux build's stand-in for Windows' reg.exe, over the same store the
// setup program uses. It understands
//   helmsight-reg query  KEY [/v NAME | /ve]
//   helmsight-reg add    KEY [/v NAME | /ve] [/t REG_SZ|REG_EXPAND_SZ|REG_DWORD] [/d DATA] [/f]
//   helmsight-reg delete KEY [/v NAME | /ve] [/f]
// with KEY like HKLM\SOFTWARE\Korvane\SSD Helmsight (HKLM, HKCU, HKCR or their long names),
// prints what reg.exe prints and ends with 1 when the key or value is missing. /reg:32 and
// /reg:64 are accepted and ignored: the store has one view.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/text.h"

namespace {

using platform::RegistryHandle;
using platform::RegistryRoot;

constexpr int kOk = 0;
constexpr int kFailed = 1;

struct Options {
    std::wstring command;
    std::wstring key;
    bool hasValue = false;  // /v or /ve given
    std::wstring value;
    std::wstring type = L"REG_SZ";
    bool hasData = false;
    std::wstring data;
    bool force = false;
};

std::string utf8(const std::wstring& text) {
    return platform::wideToUtf8(text);
}

int syntaxError(const std::string& why) {
    std::fprintf(stderr, "ERROR: Invalid syntax. %s\nType \"helmsight-reg /?\" for usage.\n",
                 why.c_str());
    return kFailed;
}

int notFound() {
    std::fprintf(stderr,
                 "ERROR: The system was unable to find the specified registry key or value.\n");
    return kFailed;
}

void usage() {
    std::printf(
        "helmsight-reg query  KEY [/v NAME | /ve]\n"
        "helmsight-reg add    KEY [/v NAME | /ve] [/t REG_SZ|REG_EXPAND_SZ|REG_DWORD] [/d DATA] "
        "[/f]\n"
        "helmsight-reg delete KEY [/v NAME | /ve] [/f]\n\n"
        "KEY begins with HKLM, HKCU or HKCR (or HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER,\n"
        "HKEY_CLASSES_ROOT), e.g. \"HKLM\\SOFTWARE\\Korvane\\SSD Helmsight\".\n");
}

std::wstring upper(std::wstring text) {
    for (wchar_t& c : text) {
        if (c >= L'a' && c <= L'z') {
            c = static_cast<wchar_t>(c - L'a' + L'A');
        }
    }
    return text;
}

// Splits KEY into its root and the path below it; the root's full name for printing.
bool parseKey(const std::wstring& key, RegistryRoot& root, std::wstring& path,
              std::wstring& rootName) {
    const size_t slash = key.find(L'\\');
    const std::wstring head = upper(key.substr(0, slash));
    path = slash == std::wstring::npos ? std::wstring() : key.substr(slash + 1);
    if (head == L"HKLM" || head == L"HKEY_LOCAL_MACHINE") {
        root = RegistryRoot::LocalMachine;
        rootName = L"HKEY_LOCAL_MACHINE";
    } else if (head == L"HKCU" || head == L"HKEY_CURRENT_USER") {
        root = RegistryRoot::CurrentUser;
        rootName = L"HKEY_CURRENT_USER";
    } else if (head == L"HKCR" || head == L"HKEY_CLASSES_ROOT") {
        root = RegistryRoot::ClassesRoot;
        rootName = L"HKEY_CLASSES_ROOT";
    } else {
        return false;
    }
    return true;
}

std::wstring typeName(uint32_t type) {
    switch (type) {
        case 0:
            return L"REG_NONE";
        case 1:
            return L"REG_SZ";
        case 2:
            return L"REG_EXPAND_SZ";
        case 3:
            return L"REG_BINARY";
        case 4:
            return L"REG_DWORD";
        case 5:
            return L"REG_DWORD_BIG_ENDIAN";
        case 7:
            return L"REG_MULTI_SZ";
        case 11:
            return L"REG_QWORD";
        default:
            return L"REG_UNKNOWN";
    }
}

std::wstring unitsToText(const std::vector<unsigned char>& bytes) {
    std::u16string units;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        units.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
    }
    return platform::fromRegistryUnits(units.data(), units.size());
}

// The data as reg.exe shows it.
std::wstring shownData(uint32_t type, const std::vector<unsigned char>& bytes) {
    if (type == platform::kRegSz || type == platform::kRegExpandSz) {
        std::wstring text = unitsToText(bytes);
        return text.substr(0, text.find(L'\0'));
    }
    if (type == 7) {
        std::wstring text = unitsToText(bytes);
        while (!text.empty() && text.back() == L'\0') {
            text.pop_back();
        }
        std::wstring shown;
        for (wchar_t c : text) {
            shown += c == L'\0' ? std::wstring(L"\\0") : std::wstring(1, c);
        }
        return shown;
    }
    if (type == platform::kRegDword && bytes.size() == 4) {
        const uint32_t value =
            bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
        wchar_t buffer[16];
        std::swprintf(buffer, 16, L"0x%x", value);
        return buffer;
    }
    std::wstring hex;
    for (unsigned char b : bytes) {
        wchar_t buffer[4];
        std::swprintf(buffer, 4, L"%02X", b);
        hex += buffer;
    }
    return hex;
}

bool readValue(const RegistryHandle& key, const std::wstring& name, uint32_t& type,
               std::vector<unsigned char>& bytes) {
    uint32_t size = 0;
    if (platform::regQueryValue(key, name, &type, nullptr, &size) != 0) {
        return false;
    }
    bytes.assign(size, 0);
    return platform::regQueryValue(key, name, &type, bytes.data(), &size) == 0 &&
           (bytes.resize(size), true);
}

void printValue(const RegistryHandle& key, const std::wstring& name) {
    uint32_t type = 0;
    std::vector<unsigned char> bytes;
    if (readValue(key, name, type, bytes)) {
        std::printf("    %s    %s    %s\n", name.empty() ? "(Default)" : utf8(name).c_str(),
                    utf8(typeName(type)).c_str(), utf8(shownData(type, bytes)).c_str());
    }
}

bool confirm(const std::string& question) {
    std::printf("%s (Yes/No)? ", question.c_str());
    std::fflush(stdout);
    std::string answer;
    if (!std::getline(std::cin, answer)) {
        std::printf("\n");
        return false;
    }
    const std::wstring folded = upper(platform::utf8ToWide(answer));
    return folded == L"Y" || folded == L"YES";
}

int query(const Options& options, RegistryRoot root, const std::wstring& path,
          const std::wstring& fullName) {
    RegistryHandle key;
    if (platform::regOpenKey(root, path, platform::kKeyRead, key) != 0) {
        return notFound();
    }
    if (options.hasValue) {
        uint32_t type = 0;
        std::vector<unsigned char> bytes;
        if (!readValue(key, options.value, type, bytes)) {
            return notFound();
        }
        // Shown under its stored name, whatever case was asked for.
        std::wstring stored = options.value;
        std::wstring name;
        for (uint32_t i = 0; platform::regEnumValue(key, i, name) == 0; ++i) {
            if (upper(name) == upper(options.value)) {
                stored = name;
                break;
            }
        }
        std::printf("\n%s\n", utf8(fullName).c_str());
        printValue(key, stored);
        std::printf("\n");
        return kOk;
    }
    std::printf("\n%s\n", utf8(fullName).c_str());
    std::wstring name;
    for (uint32_t i = 0; platform::regEnumValue(key, i, name) == 0; ++i) {
        printValue(key, name);
    }
    std::printf("\n");
    for (uint32_t i = 0; platform::regEnumKey(key, i, name) == 0; ++i) {
        std::printf("%s\\%s\n", utf8(fullName).c_str(), utf8(name).c_str());
    }
    return kOk;
}

bool parseDword(const std::wstring& text, uint32_t& value) {
    if (text.empty()) {
        return false;
    }
    try {
        size_t used = 0;
        const bool hex = text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X');
        const unsigned long long parsed =
            std::stoull(hex ? text.substr(2) : text, &used, hex ? 16 : 10);
        if (used != (hex ? text.size() - 2 : text.size()) || parsed > 0xFFFFFFFFull ||
            text[hex ? 2 : 0] == L'-' || text[hex ? 2 : 0] == L'+') {
            return false;
        }
        value = static_cast<uint32_t>(parsed);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

int add(const Options& options, RegistryRoot root, const std::wstring& path) {
    const std::wstring type = upper(options.type);
    std::vector<unsigned char> bytes;
    uint32_t typeCode = 0;
    if (type == L"REG_SZ" || type == L"REG_EXPAND_SZ") {
        typeCode = type == L"REG_SZ" ? platform::kRegSz : platform::kRegExpandSz;
        std::u16string units = platform::toRegistryUnits(options.data);
        units.push_back(u'\0');
        for (char16_t unit : units) {
            bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
            bytes.push_back(static_cast<unsigned char>(unit >> 8));
        }
    } else if (type == L"REG_DWORD") {
        typeCode = platform::kRegDword;
        uint32_t value = 0;
        if (options.hasData && !parseDword(options.data, value)) {
            return syntaxError("Invalid DWORD data: " + utf8(options.data));
        }
        bytes = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                 static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    } else {
        return syntaxError("Unsupported type " + utf8(options.type) +
                           " (REG_SZ, REG_EXPAND_SZ or REG_DWORD).");
    }
    RegistryHandle key;
    if (platform::regCreateKey(root, path, platform::kKeyAllAccess, key) != 0) {
        std::fprintf(stderr, "ERROR: Access is denied.\n");
        return kFailed;
    }
    if (!options.hasValue) {
        std::printf("The operation completed successfully.\n");
        return kOk;
    }
    uint32_t existingType = 0;
    std::vector<unsigned char> existing;
    if (!options.force && readValue(key, options.value, existingType, existing) &&
        !confirm("Value " +
                 (options.value.empty() ? std::string("(Default)") : utf8(options.value)) +
                 " exists, overwrite")) {
        std::printf("The operation was cancelled.\n");
        return kFailed;
    }
    if (platform::regSetValue(key, options.value, typeCode, bytes.data(),
                              static_cast<uint32_t>(bytes.size())) != 0) {
        std::fprintf(stderr, "ERROR: Access is denied.\n");
        return kFailed;
    }
    std::printf("The operation completed successfully.\n");
    return kOk;
}

int remove(const Options& options, RegistryRoot root, const std::wstring& path,
           const std::wstring& fullName) {
    if (options.hasValue) {
        RegistryHandle key;
        if (platform::regOpenKey(root, path, platform::kKeyAllAccess, key) != 0) {
            return notFound();
        }
        uint32_t type = 0;
        std::vector<unsigned char> bytes;
        if (!readValue(key, options.value, type, bytes)) {
            return notFound();
        }
        if (!options.force &&
            !confirm("Delete the registry value " +
                     (options.value.empty() ? std::string("(Default)") : utf8(options.value)))) {
            std::printf("The operation was cancelled.\n");
            return kFailed;
        }
        if (platform::regDeleteValue(key, options.value) != 0) {
            std::fprintf(stderr, "ERROR: Access is denied.\n");
            return kFailed;
        }
        std::printf("The operation completed successfully.\n");
        return kOk;
    }
    if (path.find_first_not_of(L'\\') == std::wstring::npos) {
        std::fprintf(stderr, "ERROR: Refusing to delete a whole root key.\n");
        return kFailed;
    }
    RegistryHandle probe;
    if (platform::regOpenKey(root, path, platform::kKeyRead, probe) != 0) {
        return notFound();
    }
    if (!options.force && !confirm("Permanently delete the registry key " + utf8(fullName))) {
        std::printf("The operation was cancelled.\n");
        return kFailed;
    }
    // Delete the last component below its parent, which exists since the key does.
    std::wstring tidy = path;
    while (!tidy.empty() && tidy.back() == L'\\') {
        tidy.pop_back();
    }
    const size_t slash = tidy.rfind(L'\\');
    const std::wstring parent =
        slash == std::wstring::npos ? std::wstring() : tidy.substr(0, slash);
    const std::wstring last = slash == std::wstring::npos ? tidy : tidy.substr(slash + 1);
    RegistryHandle parentKey;
    if (platform::regOpenKey(root, parent, platform::kKeyAllAccess, parentKey) != 0 ||
        platform::regDeleteTree(parentKey, last) != 0) {
        std::fprintf(stderr, "ERROR: Access is denied.\n");
        return kFailed;
    }
    std::printf("The operation completed successfully.\n");
    return kOk;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(platform::utf8ToWide(argv[i]));
    }
    if (args.empty() || args[0] == L"/?" || args[0] == L"-h" || args[0] == L"--help") {
        usage();
        return args.empty() ? kFailed : kOk;
    }
    Options options;
    options.command = upper(args[0]);
    if (args.size() < 2) {
        return syntaxError("A key is needed.");
    }
    options.key = args[1];
    for (size_t i = 2; i < args.size(); ++i) {
        const std::wstring option = upper(args[i]);
        const bool hasNext = i + 1 < args.size();
        if (option == L"/V" && hasNext) {
            options.hasValue = true;
            options.value = args[++i];
        } else if (option == L"/VE") {
            options.hasValue = true;
            options.value.clear();
        } else if (option == L"/T" && hasNext) {
            options.type = args[++i];
        } else if (option == L"/D" && hasNext) {
            options.hasData = true;
            options.data = args[++i];
        } else if (option == L"/F") {
            options.force = true;
        } else if (option == L"/REG:32" || option == L"/REG:64") {
            // One view only.
        } else {
            return syntaxError("Unknown option " + utf8(args[i]) + ".");
        }
    }
    RegistryRoot root = RegistryRoot::LocalMachine;
    std::wstring path;
    std::wstring rootName;
    if (!parseKey(options.key, root, path, rootName)) {
        return syntaxError("The key must begin with HKLM, HKCU or HKCR.");
    }
    std::wstring fullName = rootName;
    if (!path.empty()) {
        fullName += L"\\" + path;
    }
    if (options.command == L"QUERY") {
        return query(options, root, path, fullName);
    }
    if (options.command == L"ADD") {
        return add(options, root, path);
    }
    if (options.command == L"DELETE") {
        return remove(options, root, path, fullName);
    }
    return syntaxError("Unknown operation " + utf8(args[0]) + ".");
}
