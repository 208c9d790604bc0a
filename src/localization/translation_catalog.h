// TranslationCatalog: the seventeen translation files of the user interface, text lookup with
// the placeholders %1, %2, %3, and the language names offered to the user.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Where the translation files are carried: resource type 1000, ids 1001 to 1017.
inline constexpr uint16_t kTranslationResourceType = 1000;
inline constexpr uint16_t kFirstTranslationId = 1001;
inline constexpr uint16_t kLastTranslationId = 1017;

class TranslationCatalog {
  public:
    void loadTranslations();
    void parseTranslationFile(const std::wstring& text);

    std::wstring translate(const std::wstring& key) const;
    std::wstring translate(const std::wstring& key,
                           const std::vector<std::wstring>& arguments) const;

    void setLanguage(const std::wstring& code) { currentLanguage_ = code; }
    std::wstring currentLanguage() const { return currentLanguage_; }
    std::wstring displayNameOf(const std::wstring& code) const;
    std::wstring languageOfDisplayName(const std::wstring& name) const;
    std::vector<std::wstring> displayNames() const;

    // The table of one language (empty when no file has that code); for checking the files.
    std::map<std::wstring, std::wstring> textsOf(const std::wstring& code) const;

  private:
    std::wstring currentLanguage_;
    std::map<std::wstring, std::map<std::wstring, std::wstring>> textsByLanguage_;
    std::map<std::wstring, std::wstring> displayNameByLanguage_;
    std::map<std::wstring, std::wstring> languageByDisplayName_;
};

// One translation resource as text: exactly its own bytes, UTF-8 to wide; "" when missing.
std::wstring readTranslationResource(uint16_t id);

// The part between the first two double quotes, everything after a lone one, or the whole
// line without any.
std::wstring quotedPart(const std::wstring& line);
// Removes blanks (U+0020 only) from both ends.
std::wstring trimSpaces(const std::wstring& text);
// Replaces every occurrence of `pattern`, never searching the inserted text again.
std::wstring replaceAll(std::wstring text, const std::wstring& pattern,
                        const std::wstring& replacement);

// The one catalogue of the process (empty until loaded).
TranslationCatalog& catalog();

// The text of `key` in the current language, with or without arguments.
std::wstring translate(const std::wstring& key);
std::wstring translate(const std::wstring& key, const std::vector<std::wstring>& arguments);
