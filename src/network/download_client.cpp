// The download client: one request per operation, the body copied block by block from the
// network into a file or a text. Failures are shown here; the callers only see false.
#include "network/download_client.h"

#include <cstdint>
#include <limits>

#include "core/messages.h"
#include "core/product_profile.h"
#include "core/session_state.h"
#include "localization/translation_catalog.h"
#include "network/download_failure.h"
#include "network/server_address.h"
#include "platform/http.h"
#include "platform/output_file.h"

namespace {

constexpr uint32_t kReadBlockBytes = 4096;

std::wstring requestUrl(const std::wstring& urlPath, const std::wstring& fileName) {
    return profile().korvane.downloadFolderUrl + urlPath + fileName;
}

void showNoConnection() {
    showMessage(translate(L"error_no_network"), translate(L"error_download"));
}

// The Internet handle and the request handle of one operation; the request closes first.
struct Connection {
    platform::InternetHandle internet = nullptr;
    platform::InternetHandle request = nullptr;

    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { close(); }

    // Opens both handles. A failure is reported, the Internet handle's without a name and the
    // request's with `requestName`.
    bool open(const std::wstring& url, const std::wstring& requestName) {
        internet = platform::internetOpen();
        if (internet == nullptr) {
            reportNetworkError(platform::lastError(), L"");
            return false;
        }
        request = platform::internetOpenUrl(internet, url);
        if (request == nullptr) {
            // Read before closing: a successful close may reset the thread's last error.
            const uint32_t code = platform::lastError();
            close();
            reportNetworkError(code, requestName);
            return false;
        }
        return true;
    }

    void close() {
        platform::internetCloseHandle(request);
        request = nullptr;
        platform::internetCloseHandle(internet);
        internet = nullptr;
    }
};

// The body so far against the length the server announced: a connection that ends early must
// not pass for a complete download.
struct BodyCount {
    bool announced = false;
    uint64_t expected = 0;
    uint64_t received = 0;

    explicit BodyCount(platform::InternetHandle request) {
        announced = platform::httpQueryContentLength(request, expected);
    }
    bool complete() const { return !announced || received >= expected; }
};

// The end of a body read: complete, or reported as a dropped connection.
bool finishBody(const BodyCount& count, const std::wstring& fileName) {
    if (count.complete()) {
        return true;
    }
    reportNetworkError(platform::kErrorInternetConnectionAborted, fileName);
    return false;
}

// A request to a server that is neither HTTPS nor this machine is never sent: what it
// answered would be installed with administrator rights.
bool refuseUntrustedServer(const std::wstring& url) {
    if (isTrustedServerUrl(url)) {
        return false;
    }
    reportDownloadFailure(url, L"");
    return true;
}

bool abortRequested() {
    return session().downloadAbort.load(std::memory_order_relaxed);
}

}  // namespace

bool isInternetConnected() {
    return platform::internetGetConnectedState(profile().korvane.downloadFolderUrl);
}

bool downloadToFile(const std::wstring& urlPath, const std::wstring& folder,
                    const std::wstring& fileName) {
    const std::wstring url = requestUrl(urlPath, fileName);
    if (refuseUntrustedServer(url)) {
        return false;
    }
    if (!isInternetConnected()) {
        showNoConnection();
        return false;
    }
    session().downloadAbort.store(false, std::memory_order_relaxed);
    const std::wstring path = folder + fileName;

    platform::OutputFile file;
    if (!file.open(path)) {
        reportDownloadFailure(path, file.errorText());
        return false;
    }
    Connection connection;
    if (!connection.open(url, L"")) {
        return false;
    }
    if (!checkHttpStatus(connection.request, fileName)) {
        return false;
    }

    BodyCount count(connection.request);
    char block[kReadBlockBytes];
    while (true) {
        uint32_t bytesRead = 0;
        if (!platform::internetReadFile(connection.request, block, kReadBlockBytes, bytesRead)) {
            const uint32_t code = platform::lastError();
            connection.close();
            file.close();
            if (code == 0 || code == platform::kErrorAbort) {
                return abortRequested() || finishBody(count, fileName);
            }
            reportNetworkError(code, fileName);
            return false;
        }
        if (abortRequested()) {
            return true;  // the caller looks at its own cancel state; the partial file stays
        }
        if (bytesRead == 0) {
            connection.close();
            if (!file.close()) {
                reportDownloadFailure(path, file.errorText());
                return false;
            }
            return finishBody(count, fileName);
        }
        count.received += bytesRead;
        if (!file.write(block, bytesRead)) {
            connection.close();
            reportDownloadFailure(path, file.errorText());
            return false;
        }
    }
}

bool downloadToInstallFolder(const std::wstring& urlPath, const std::wstring& fileName) {
    return downloadToFile(urlPath, profile().korvane.installFolder, fileName);
}

bool downloadToText(const std::wstring& urlPath, const std::wstring& fileName, std::wstring& text) {
    return downloadToText(urlPath, fileName, text, std::numeric_limits<size_t>::max());
}

bool downloadToText(const std::wstring& urlPath, const std::wstring& fileName, std::wstring& text,
                    size_t maxBytes) {
    const std::wstring url = requestUrl(urlPath, fileName);
    if (refuseUntrustedServer(url)) {
        return false;
    }
    if (!isInternetConnected()) {
        showNoConnection();
        return false;
    }
    Connection connection;
    if (!connection.open(url, fileName)) {
        return false;
    }
    if (!checkHttpStatus(connection.request, fileName)) {
        return false;
    }

    text.clear();
    BodyCount count(connection.request);
    if (count.announced && count.expected > maxBytes) {
        connection.close();
        reportDownloadFailure(fileName, L"");
        return false;
    }
    char block[kReadBlockBytes];
    while (true) {
        uint32_t bytesRead = 0;
        if (!platform::internetReadFile(connection.request, block, kReadBlockBytes, bytesRead)) {
            const uint32_t code = platform::lastError();
            connection.close();
            if (code == 0 || code == platform::kErrorAbort) {
                return finishBody(count, fileName);
            }
            reportNetworkError(code, fileName);
            return false;
        }
        if (bytesRead == 0) {
            connection.close();
            return finishBody(count, fileName);
        }
        if (bytesRead > maxBytes - text.size()) {
            connection.close();
            reportDownloadFailure(fileName, L"");
            return false;
        }
        count.received += bytesRead;
        for (uint32_t i = 0; i < bytesRead; ++i) {
            text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(block[i])));
        }
    }
}

bool remoteFileExists(const std::wstring& urlPath, const std::wstring& fileName) {
    const std::wstring url = requestUrl(urlPath, fileName);
    if (!isTrustedServerUrl(url) || !isInternetConnected()) {
        return false;
    }
    Connection connection;
    connection.internet = platform::internetOpen();
    if (connection.internet == nullptr) {
        return false;
    }
    connection.request = platform::internetOpenUrl(connection.internet, url);
    if (connection.request == nullptr) {
        return false;
    }
    std::wstring statusText;
    const int status = platform::httpQueryStatusCode(connection.request, statusText)
                           ? httpStatusOf(statusText)
                           : 0;
    connection.close();
    return status >= 200 && status <= 399;
}

void abortDownloads() {
    session().downloadAbort.store(true, std::memory_order_relaxed);
}
