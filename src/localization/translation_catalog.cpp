// The translation catalogue. The reader is line-based and does not parse the files' object
// notation: a header names the language and its display name, and every line after
// "translations:" is an entry whose key is the text before the first colon and whose text is
// the quoted part.
#include "localization/translation_catalog.h"

#include <exception>

#include "platform/resources.h"
#include "platform/text.h"

namespace {

TranslationCatalog theCatalog;

// Longer lines end the reading of a file, as a 1000-unit line buffer would.
constexpr size_t kLongestLineUnits = 999;

// Length in UTF-16 units (wchar_t holds whole code points on Linux).
size_t utf16Length(const std::wstring& text) {
    size_t units = text.size();
    for (wchar_t c : text) {
        const uint32_t codePoint = static_cast<uint32_t>(c);
        if (codePoint > 0xFFFF) {
            ++units;
        }
    }
    return units;
}

bool contains(const std::wstring& text, const wchar_t* part) {
    return text.find(part) != std::wstring::npos;
}

std::wstring withoutTabs(const std::wstring& line) {
    std::wstring result;
    result.reserve(line.size());
    for (wchar_t c : line) {
        if (c != L'\t') {
            result.push_back(c);
        }
    }
    return result;
}

}  // namespace

TranslationCatalog& catalog() {
    return theCatalog;
}

std::wstring translate(const std::wstring& key) {
    return theCatalog.translate(key);
}

std::wstring translate(const std::wstring& key, const std::vector<std::wstring>& arguments) {
    return theCatalog.translate(key, arguments);
}

std::wstring readTranslationResource(uint16_t id) {
    platform::ResourceInfo info = platform::findResource(kTranslationResourceType, id);
    if (info == nullptr) {
        return std::wstring();
    }
    platform::ResourceData data = platform::loadResource(info);
    const char* bytes = static_cast<const char*>(platform::lockResource(data));
    const uint32_t size = platform::sizeofResource(info);
    std::wstring text;
    if (bytes != nullptr) {
        text = platform::utf8ToWide(std::string(bytes, size));
    }
    platform::freeResource(data);
    return text;
}

std::wstring quotedPart(const std::wstring& line) {
    const size_t open = line.find(L'"');
    if (open == std::wstring::npos) {
        return line;
    }
    const size_t close = line.find(L'"', open + 1);
    if (close == std::wstring::npos) {
        return line.substr(open + 1);
    }
    return line.substr(open + 1, close - open - 1);
}

std::wstring trimSpaces(const std::wstring& text) {
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) {
        return std::wstring();
    }
    const size_t last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

std::wstring replaceAll(std::wstring text, const std::wstring& pattern,
                        const std::wstring& replacement) {
    if (pattern.empty()) {
        return text;
    }
    size_t position = text.find(pattern);
    while (position != std::wstring::npos) {
        text.replace(position, pattern.size(), replacement);
        position = text.find(pattern, position + replacement.size());
    }
    return text;
}

void TranslationCatalog::loadTranslations() {
    for (uint16_t id = kFirstTranslationId; id <= kLastTranslationId; ++id) {
        parseTranslationFile(readTranslationResource(id));
    }
}

void TranslationCatalog::parseTranslationFile(const std::wstring& text) {
    std::wstring code;
    std::wstring name;
    std::map<std::wstring, std::wstring> table;
    bool inEntries = false;

    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) {
            end = text.size();
        }
        const std::wstring line = text.substr(start, end - start);
        start = end + 1;
        if (utf16Length(line) > kLongestLineUnits) {
            break;
        }
        if (!inEntries) {
            if (contains(line, L"language:")) {
                code = quotedPart(line);
            } else if (contains(line, L"displayName")) {
                name = quotedPart(line);
            } else if (contains(line, L"translations:")) {
                displayNameByLanguage_[code] = name;
                languageByDisplayName_[name] = code;
                inEntries = true;
            }
            continue;
        }
        const std::wstring entry = withoutTabs(line);
        const size_t colon = entry.find(L':');
        const std::wstring key =
            trimSpaces(colon == std::wstring::npos ? entry : entry.substr(0, colon));
        table[key] = trimSpaces(quotedPart(entry));
    }
    textsByLanguage_[code] = std::move(table);
}

std::wstring TranslationCatalog::translate(const std::wstring& key) const {
    return translate(key, {});
}

std::wstring TranslationCatalog::translate(const std::wstring& key,
                                           const std::vector<std::wstring>& arguments) const {
    std::wstring text;
    try {
        const auto language = textsByLanguage_.find(currentLanguage_);
        if (language != textsByLanguage_.end()) {
            const auto entry = language->second.find(key);
            if (entry != language->second.end()) {
                text = entry->second;
            }
        }
    } catch (const std::exception&) {
        return key;
    }
    if (arguments.empty()) {
        return text;
    }
    text = replaceAll(text, L"\\n", L"\n");
    for (size_t k = 1; k <= arguments.size(); ++k) {
        text = replaceAll(text, L"%" + std::to_wstring(k), arguments[k - 1]);
    }
    return text;
}

std::wstring TranslationCatalog::displayNameOf(const std::wstring& code) const {
    const auto found = displayNameByLanguage_.find(code);
    return found != displayNameByLanguage_.end() ? found->second : std::wstring();
}

std::wstring TranslationCatalog::languageOfDisplayName(const std::wstring& name) const {
    const auto found = languageByDisplayName_.find(name);
    return found != languageByDisplayName_.end() ? found->second : std::wstring();
}

std::vector<std::wstring> TranslationCatalog::displayNames() const {
    std::vector<std::wstring> names;
    names.reserve(displayNameByLanguage_.size());
    for (const auto& [code, name] : displayNameByLanguage_) {
        names.push_back(name);
    }
    return names;
}

std::map<std::wstring, std::wstring> TranslationCatalog::textsOf(const std::wstring& code) const {
    const auto found = textsByLanguage_.find(code);
    return found != textsByLanguage_.end() ? found->second : std::map<std::wstring, std::wstring>();
}
