// Which base URLs the program fetches from: any HTTPS server, plain HTTP only on this machine.
#include <gtest/gtest.h>

#include <string>

#include "network/server_address.h"

namespace {

struct AddressCase {
    const wchar_t* url;
    bool trusted;
};

TEST(ServerAddressTest, HttpsAnywherePlainHttpOnlyOnLoopback) {
    const AddressCase cases[] = {
        {L"https://download.korvane.com/", true},
        {L"HTTPS://Example.COM/Base/", true},
        {L"https://10.0.0.5:8443/", true},
        {L"http://127.0.0.1:8080/", true},
        {L"http://127.0.0.1/", true},
        {L"HTTP://127.0.0.1:1/", true},
        {L"http://127.255.3.4/", true},
        {L"http://localhost:80/", true},
        {L"http://LocalHost/", true},
        {L"http://[::1]:9000/", true},
        {L"http://127.0.0.1", true},
        {L"http://10.0.0.5/", false},
        {L"http://download.korvane.com/", false},
        {L"http://128.0.0.1/", false},
        {L"http://126.0.0.1/", false},
        {L"http://127.0.0.1.example.com/", false},
        {L"http://localhost.example.com/", false},
        {L"http://127.1/", false},
        {L"http://2130706433/", false},
        {L"http://0x7f.0.0.1/", false},
        {L"http://0127.0.0.1/", false},
        {L"http://127.0.0.256/", false},
        {L"http://127.0.0.1.1/", false},
        {L"http://[::ffff:127.0.0.1]/", false},
        {L"http://user@127.0.0.1/", false},
        {L"http://127.0.0.1@evil.example/", false},
        {L"http://127.0.0.1\\@evil.example/", false},
        {L"http://127.0.0.1%2eevil/", false},
        {L"http://127.0.0.1:80x/", false},
        {L"http://[::1/", false},
        {L"http:///", false},
        {L"http://", false},
        {L"ftp://127.0.0.1/", false},
        {L"file:///tmp/", false},
        {L"127.0.0.1:8080/", false},
        {L"", false},
    };
    for (const AddressCase& c : cases) {
        EXPECT_EQ(isTrustedServerUrl(c.url), c.trusted)
            << std::string(c.url, c.url + wcslen(c.url));
    }
}

}  // namespace
