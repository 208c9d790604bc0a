// Choosing the interface language: the user's locale when a translation exists, else en-US.
#pragma once

#include <string>

std::wstring chooseStartLanguage();
