// Failed downloads told to the user in a message box: a server answer that is not a success, a
// failed call of the HTTP client, or a download that could not be completed for another reason.
#pragma once

#include <cstdint>
#include <string>

#include "platform/http.h"

// The number the leading decimal digits of a status text give (0 when there are none).
int httpStatusOf(const std::wstring& statusText);

// True when the request's HTTP status is 200 to 399; otherwise shows why and returns false.
bool checkHttpStatus(platform::InternetHandle request, const std::wstring& fileName);

// Shows the message for a failed HTTP client call with its error code (nothing for code 0).
void reportNetworkError(uint32_t code, const std::wstring& name);

// Shows "Failed to download" naming what could not be downloaded, and why when a reason is
// given (for a destination file that cannot be written, or a manifest without a version).
void reportDownloadFailure(const std::wstring& name, const std::wstring& reason);
