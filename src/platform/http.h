// The HTTP client as the download client needs it, one operation per step: the connection
// state, an Internet handle, a request (headers received), its status code, its body in blocks,
// closing, and the error code of the last failed call. WinINet on Windows; libcurl on Linux,
// where the failures carry WinINet's error numbers so that both builds report them alike.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// An Internet handle or a request handle (HINTERNET on Windows).
struct InternetObject;
using InternetHandle = InternetObject*;

// WinINet error numbers the program itself looks at or produces.
inline constexpr uint32_t kErrorInternetTimeout = 12002;
inline constexpr uint32_t kErrorInternetNameNotResolved = 12007;
inline constexpr uint32_t kErrorInternetCannotConnect = 12029;
inline constexpr uint32_t kErrorInternetConnectionAborted = 12030;
inline constexpr uint32_t kErrorInternetConnectionReset = 12031;
inline constexpr uint32_t kErrorInternetInvalidCa = 12045;
inline constexpr uint32_t kErrorAbort = 0x80004004;  // E_ABORT

// Whether a connection exists (InternetGetConnectedState). On Linux: whether there is a route to
// the host of `serverUrl` (a loopback host counts); Windows does not look at the URL.
bool internetGetConnectedState(const std::wstring& serverUrl);

// A direct (no proxy), synchronous Internet handle with an empty agent name (InternetOpenW).
// Null on failure.
InternetHandle internetOpen();

// Sends a GET for `url`, always answered by the server and never from a cache, and returns the
// request handle once the answer's headers are in (InternetOpenUrlW with INTERNET_FLAG_RELOAD).
// Redirects are followed. Null on failure.
InternetHandle internetOpenUrl(InternetHandle internet, const std::wstring& url);

// The request's HTTP status code as decimal text, as the server's final answer gave it
// (HttpQueryInfoW, HTTP_QUERY_STATUS_CODE). False when it cannot be queried.
bool httpQueryStatusCode(InternetHandle request, std::wstring& statusText);

// The Content-Length the server announced (HttpQueryInfoW, HTTP_QUERY_CONTENT_LENGTH). False when
// the answer has none.
bool httpQueryContentLength(InternetHandle request, uint64_t& length);

// The next block of the body, at most `size` bytes (InternetReadFile). True with 0 bytes read at
// the end of the body; false when reading fails.
bool internetReadFile(InternetHandle request, void* buffer, uint32_t size, uint32_t& bytesRead);

// Closes a request handle or an Internet handle; null is ignored (InternetCloseHandle).
void internetCloseHandle(InternetHandle handle);

// The error code of the calling thread's last failed operation above (GetLastError).
uint32_t lastError();

// The system's message text for an error code of the operations above, without trailing blanks
// or line breaks; empty when the system has none.
std::wstring internetErrorText(uint32_t code);

}  // namespace platform
