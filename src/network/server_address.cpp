// The trusted-server test: the scheme, and for plain HTTP the host, read from the URL text.
#include "network/server_address.h"

#include "core/command_line.h"

namespace {

const std::wstring kSecureScheme = L"https://";
const std::wstring kPlainScheme = L"http://";

bool startsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The host of the authority that follows the scheme, or empty when the authority holds
// anything but a host and a port: user information, escapes or backslashes could make a
// URL parser find another host in it than this reading does.
std::wstring hostOf(const std::wstring& afterScheme) {
    const std::wstring authority = afterScheme.substr(0, afterScheme.find_first_of(L"/?#"));
    if (authority.empty() ||
        authority.find_first_not_of(L"0123456789abcdefghijklmnopqrstuvwxyz.-:[]") !=
            std::wstring::npos) {
        return L"";
    }
    const size_t hostEnd = authority[0] == L'[' ? authority.find(L']') + 1 : authority.find(L':');
    const std::wstring host = authority.substr(0, hostEnd);
    const std::wstring port = hostEnd >= authority.size() ? L"" : authority.substr(hostEnd);
    if (!port.empty() &&
        (port[0] != L':' || port.find_first_not_of(L"0123456789", 1) != port.npos)) {
        return L"";
    }
    return host;
}

// Four decimal numbers of at most three digits and at most 255, separated by dots, the first
// 127. Other spellings that resolvers accept ("127.1", "0x7f.0.0.1") are not taken.
bool isLoopbackIpv4(const std::wstring& host) {
    int parts = 0;
    size_t at = 0;
    while (at <= host.size()) {
        size_t end = host.find(L'.', at);
        if (end == std::wstring::npos) {
            end = host.size();
        }
        const std::wstring part = host.substr(at, end - at);
        if (part.empty() || part.size() > 3 || part.find_first_not_of(L"0123456789") != part.npos ||
            (part.size() > 1 && part[0] == L'0') || std::stoi(part) > 255) {
            return false;
        }
        if (parts == 0 && part != L"127") {
            return false;
        }
        ++parts;
        at = end + 1;
    }
    return parts == 4;
}

}  // namespace

bool isTrustedServerUrl(const std::wstring& url) {
    const std::wstring folded = foldAsciiToLower(url);
    if (startsWith(folded, kSecureScheme)) {
        return true;
    }
    if (!startsWith(folded, kPlainScheme)) {
        return false;
    }
    const std::wstring host = hostOf(folded.substr(kPlainScheme.size()));
    return host == L"localhost" || host == L"[::1]" || isLoopbackIpv4(host);
}
