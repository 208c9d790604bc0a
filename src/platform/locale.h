// The user's locale as a language tag ("de-DE").
#pragma once

#include <string>

namespace platform {

// The user's default locale name, at most 84 characters; "" when there is none or the call
// fails. On Linux from LC_ALL, LC_MESSAGES or LANG ("de_DE.UTF-8" gives "de-DE"; "C" and
// "POSIX" name no locale).
std::wstring userDefaultLocaleName();

}  // namespace platform
