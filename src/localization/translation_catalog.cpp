// The translation catalogue. Not built yet: it loads nothing, so every lookup gives "".
#include "localization/translation_catalog.h"

namespace {
TranslationCatalog theCatalog;
}

TranslationCatalog& catalog() {
    return theCatalog;
}

std::wstring translate(const std::wstring& key) {
    return theCatalog.translate(key);
}

std::wstring translate(const std::wstring& key, const std::vector<std::wstring>& arguments) {
    return theCatalog.translate(key, arguments);
}

void TranslationCatalog::loadTranslations() {}

void TranslationCatalog::parseTranslationFile(const std::wstring&) {}

std::wstring TranslationCatalog::translate(const std::wstring&) const {
    return std::wstring();
}

std::wstring TranslationCatalog::translate(const std::wstring&,
                                           const std::vector<std::wstring>&) const {
    return std::wstring();
}

std::wstring TranslationCatalog::displayNameOf(const std::wstring&) const {
    return std::wstring();
}

std::wstring TranslationCatalog::languageOfDisplayName(const std::wstring&) const {
    return std::wstring();
}

std::vector<std::wstring> TranslationCatalog::displayNames() const {
    return {};
}
