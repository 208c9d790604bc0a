// Language selection. Not built yet: always English.
#include "localization/language_selection.h"

std::wstring chooseStartLanguage() {
    return L"en-US";
}
