// Language selection.
#include "localization/language_selection.h"

#include "localization/translation_catalog.h"
#include "platform/locale.h"
#include "registry/install_record.h"

std::wstring chooseStartLanguage() {
    const std::wstring name = platform::userDefaultLocaleName();
    return catalog().displayNameOf(name).empty() ? std::wstring(L"en-US") : name;
}

void changeLanguage(const std::wstring& displayName) {
    const std::wstring code = catalog().languageOfDisplayName(displayName);
    catalog().setLanguage(code);
    installRecord().setCurrentCulture(code);
}
