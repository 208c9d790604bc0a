// The download client. Not built yet: there is no connection.
#include "network/download_client.h"

#include "core/session_state.h"

bool isInternetConnected() {
    return false;
}

bool downloadToFile(const std::wstring&, const std::wstring&, const std::wstring&) {
    return false;
}

bool downloadToInstallFolder(const std::wstring&, const std::wstring&) {
    return false;
}

bool downloadToText(const std::wstring&, const std::wstring&, std::wstring&) {
    return false;
}

bool remoteFileExists(const std::wstring&, const std::wstring&) {
    return false;
}

void abortDownloads() {
    session().downloadAbort.store(true, std::memory_order_relaxed);
}
