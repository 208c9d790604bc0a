// TranslationCatalog: the seventeen translation files of the user interface, text lookup with
// the placeholders %1, %2, %3, and the language names offered to the user.
#pragma once

#include <map>
#include <string>
#include <vector>

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

  private:
    std::wstring currentLanguage_;
    std::map<std::wstring, std::map<std::wstring, std::wstring>> textsByLanguage_;
    std::map<std::wstring, std::wstring> displayNameByLanguage_;
    std::map<std::wstring, std::wstring> languageByDisplayName_;
};

// The one catalogue of the process (empty until loaded).
TranslationCatalog& catalog();

// The text of `key` in the current language, with or without arguments.
std::wstring translate(const std::wstring& key);
std::wstring translate(const std::wstring& key, const std::vector<std::wstring>& arguments);
