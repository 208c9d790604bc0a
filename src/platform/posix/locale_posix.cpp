// The user's locale on Linux: the first of LC_ALL, LC_MESSAGES and LANG that is set, as a
// language tag (language_TERRITORY.codeset@modifier becomes language-TERRITORY).
#include <cstdlib>
#include <string>

#include "platform/locale.h"
#include "platform/text.h"

namespace platform {

std::wstring userDefaultLocaleName() {
    std::string name;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0') {
            name = value;
            break;
        }
    }
    name = name.substr(0, name.find_first_of(".@"));
    if (name == "C" || name == "POSIX") {
        return std::wstring();
    }
    for (char& c : name) {
        if (c == '_') {
            c = '-';
        }
    }
    constexpr size_t kLongestName = 84;  // LOCALE_NAME_MAX_LENGTH less the terminator
    if (name.size() > kLongestName) {
        return std::wstring();  // as the Windows call fails on a name its buffer cannot hold
    }
    return utf8ToWide(name);
}

}  // namespace platform
