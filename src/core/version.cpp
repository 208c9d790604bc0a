// Version comparison and the splitting rule it relies on.
#include "core/version.h"

#include <cerrno>
#include <climits>
#include <cwchar>

namespace {

// A component's number as a string-to-int conversion reads it; no number or an
// out-of-range value counts as 0.
long componentNumber(const std::wstring& component) {
    const wchar_t* begin = component.c_str();
    wchar_t* end = nullptr;
    errno = 0;
    const long value = std::wcstol(begin, &end, 10);
    if (end == begin || errno == ERANGE || value > INT_MAX || value < INT_MIN) {
        return 0;
    }
    return value;
}

}  // namespace

int compareVersions(const Version& a, const Version& b) {
    if (a.text() == b.text()) {
        return 0;
    }
    const std::vector<std::wstring> left = splitText(a.text(), L'.');
    const std::vector<std::wstring> right = splitText(b.text(), L'.');
    for (size_t i = 0; i < left.size() && i < right.size(); ++i) {
        const long x = componentNumber(left[i]);
        const long y = componentNumber(right[i]);
        if (x < y) {
            return -1;
        }
        if (x > y) {
            return 1;
        }
    }
    return left.size() >= right.size() ? 1 : -1;
}

std::vector<std::wstring> splitText(const std::wstring& text, wchar_t separator) {
    std::vector<std::wstring> pieces;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find(separator, start);
        if (end == std::wstring::npos) {
            pieces.push_back(text.substr(start));
            break;
        }
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}
