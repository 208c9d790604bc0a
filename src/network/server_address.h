// Which download server addresses the program may fetch from. The program runs elevated and
// runs what it downloads, so only a server it can authenticate (HTTPS) or this machine itself
// (plain HTTP to a loopback address, for tests and demos) may serve it.
#pragma once

#include <string>

// True for an "https://" URL, and for an "http://" URL whose host is a loopback address:
// 127.0.0.0/8 in dotted decimal, "[::1]" or "localhost". Schemes and "localhost" are compared
// without regard to case; any other URL is false.
bool isTrustedServerUrl(const std::wstring& url);
