// Choosing the interface language: the user's locale when a translation exists, else en-US;
// the stored culture of the installation record wins over both.
#pragma once

#include <string>

// The user's default locale name when a translation file has exactly that code, else "en-US".
std::wstring chooseStartLanguage();

// The user picked a language by its display name: use it at once and store it as the culture
// of the next run.
void changeLanguage(const std::wstring& displayName);
