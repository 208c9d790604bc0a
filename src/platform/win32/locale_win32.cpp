// The user's locale on Windows.

#include <windows.h>

#include "platform/locale.h"

namespace platform {

std::wstring userDefaultLocaleName() {
    wchar_t buffer[LOCALE_NAME_MAX_LENGTH] = {};
    if (GetUserDefaultLocaleName(buffer, LOCALE_NAME_MAX_LENGTH) == 0) {
        return std::wstring();
    }
    return buffer;
}

}  // namespace platform
