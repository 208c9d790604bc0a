// The HTTP client on Linux: libcurl, driven through its multi interface so that the body comes
// in as the caller reads it (a large package is never held in memory). Direct connections only,
// no cache, certificates checked; failures carry WinINet's error numbers and texts.
#include <curl/curl.h>
#include <netdb.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/http.h"
#include "platform/text.h"

namespace platform {

struct InternetObject {
    enum class Kind { Internet, Request };
    Kind kind = Kind::Internet;
};

namespace {

// Past this much unread body the transfer pauses until the reader catches up.
constexpr size_t kMaxPendingBytes = 256 * 1024;
constexpr long kMaxRedirects = 10;
constexpr long kConnectTimeoutSeconds = 60;
constexpr long kStallSeconds = 60;  // no byte for this long ends the transfer as timed out
constexpr int kPollMilliseconds = 1000;

// WinINet's numbers for what libcurl reports.
constexpr uint32_t kErrorNotEnoughMemory = 8;
constexpr uint32_t kErrorInvalidHandle = 6;
constexpr uint32_t kErrorInternetInternal = 12004;
constexpr uint32_t kErrorInternetInvalidUrl = 12005;
constexpr uint32_t kErrorInternetUnrecognizedScheme = 12006;
constexpr uint32_t kErrorInternetSecCertDateInvalid = 12037;
constexpr uint32_t kErrorInternetSecCertCnInvalid = 12038;
constexpr uint32_t kErrorInternetHttpsToHttpOnRedirect = 12040;
constexpr uint32_t kErrorHttpHeaderNotFound = 12150;
constexpr uint32_t kErrorHttpInvalidServerResponse = 12152;
constexpr uint32_t kErrorHttpRedirectFailed = 12156;
constexpr uint32_t kErrorInternetSecurityChannelError = 12157;
constexpr uint32_t kErrorInternetSecInvalidCert = 12169;
constexpr uint32_t kErrorInternetSecCertRevoked = 12170;

thread_local uint32_t lastErrorCode = 0;

struct Request : InternetObject {
    CURL* easy = nullptr;
    CURLM* multi = nullptr;
    curl_slist* headers = nullptr;
    bool secure = false;
    std::string pending;  // body received and not yet read
    size_t pendingOffset = 0;
    bool paused = false;
    bool headersDone = false;  // the final answer's headers are in
    bool finished = false;
    CURLcode result = CURLE_OK;
    char errorBuffer[CURL_ERROR_SIZE] = {};
};

bool fail(uint32_t code) {
    lastErrorCode = code;
    return false;
}

void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t receiveBody(char* data, size_t size, size_t count, void* context) {
    Request& request = *static_cast<Request*>(context);
    request.headersDone = true;
    if (request.pending.size() - request.pendingOffset >= kMaxPendingBytes) {
        request.paused = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    request.pending.append(data, size * count);
    return size * count;
}

// The end of a header block marks the final answer unless it is an interim answer (1xx) or a
// redirect that is about to be followed; those are recognised by their body or their end.
size_t receiveHeader(char* data, size_t size, size_t count, void* context) {
    Request& request = *static_cast<Request*>(context);
    const size_t length = size * count;
    if (length <= 2 && (length == 0 || data[0] == '\r' || data[0] == '\n')) {
        long status = 0;
        curl_easy_getinfo(request.easy, CURLINFO_RESPONSE_CODE, &status);
        if (status >= 200 && (status < 300 || status >= 400)) {
            request.headersDone = true;
        }
    }
    return length;
}

// Certificate failures as WinINet distinguishes them, from OpenSSL's verification result.
uint32_t certificateError(const Request& request) {
    long verifyResult = 0;
    curl_easy_getinfo(request.easy, CURLINFO_SSL_VERIFYRESULT, &verifyResult);
    switch (verifyResult) {
        case 0:  // the chain is trusted, so the name did not match
            return kErrorInternetSecCertCnInvalid;
        case 9:   // X509_V_ERR_CERT_NOT_YET_VALID
        case 10:  // X509_V_ERR_CERT_HAS_EXPIRED
            return kErrorInternetSecCertDateInvalid;
        case 23:  // X509_V_ERR_CERT_REVOKED
            return kErrorInternetSecCertRevoked;
        case 2:   // X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT
        case 18:  // X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT
        case 19:  // X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN
        case 20:  // X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY
        case 21:  // X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE
        case 24:  // X509_V_ERR_INVALID_CA
            return kErrorInternetInvalidCa;
        default:
            return kErrorInternetSecInvalidCert;
    }
}

uint32_t winInetError(const Request& request, CURLcode code) {
    switch (code) {
        case CURLE_OK:
            return 0;
        case CURLE_UNSUPPORTED_PROTOCOL:
            return request.secure ? kErrorInternetHttpsToHttpOnRedirect
                                  : kErrorInternetUnrecognizedScheme;
        case CURLE_URL_MALFORMAT:
            return kErrorInternetInvalidUrl;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            return kErrorInternetNameNotResolved;
        case CURLE_COULDNT_CONNECT:
            return kErrorInternetCannotConnect;
        case CURLE_OPERATION_TIMEDOUT:
            return kErrorInternetTimeout;
        case CURLE_PARTIAL_FILE:
            return kErrorInternetConnectionAborted;
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
            return kErrorInternetConnectionReset;
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_GOT_NOTHING:
        case CURLE_HTTP2:
        case CURLE_HTTP2_STREAM:
        case CURLE_BAD_CONTENT_ENCODING:
            return kErrorHttpInvalidServerResponse;
        case CURLE_TOO_MANY_REDIRECTS:
            return kErrorHttpRedirectFailed;
        case CURLE_PEER_FAILED_VERIFICATION:
            return certificateError(request);
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_ENGINE_NOTFOUND:
        case CURLE_SSL_ENGINE_SETFAILED:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_SHUTDOWN_FAILED:
        case CURLE_SSL_CRL_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_SSL_INVALIDCERTSTATUS:
        case CURLE_SSL_CLIENTCERT:
            return kErrorInternetSecurityChannelError;
        case CURLE_OUT_OF_MEMORY:
            return kErrorNotEnoughMemory;
        default:
            return kErrorInternetInternal;
    }
}

// Lets libcurl work until it has done what it can for now, then collects a finished transfer.
void pump(Request& request, bool wait) {
    int running = 0;
    if (wait) {
        curl_multi_poll(request.multi, nullptr, 0, kPollMilliseconds, nullptr);
    }
    curl_multi_perform(request.multi, &running);
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(request.multi, &queued)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == request.easy) {
            request.finished = true;
            request.result = message->data.result;
        }
    }
}

void closeRequest(Request* request) {
    if (request->multi != nullptr && request->easy != nullptr) {
        curl_multi_remove_handle(request->multi, request->easy);
    }
    if (request->easy != nullptr) {
        curl_easy_cleanup(request->easy);
    }
    if (request->multi != nullptr) {
        curl_multi_cleanup(request->multi);
    }
    curl_slist_free_all(request->headers);
    delete request;
}

Request* asRequest(InternetHandle handle) {
    return handle != nullptr && handle->kind == InternetObject::Kind::Request
               ? static_cast<Request*>(handle)
               : nullptr;
}

// A datagram socket "connected" to the address: succeeds exactly when a route to it exists.
bool routeExists(const sockaddr* address, socklen_t length) {
    const int fd = socket(address->sa_family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const bool connected = connect(fd, address, length) == 0;
    close(fd);
    return connected;
}

bool routeToHost(const std::string& host) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (host.empty() || getaddrinfo(host.c_str(), "80", &hints, &found) != 0) {
        return false;
    }
    bool exists = false;
    for (addrinfo* entry = found; entry != nullptr && !exists; entry = entry->ai_next) {
        exists = routeExists(entry->ai_addr, entry->ai_addrlen);
    }
    freeaddrinfo(found);
    return exists;
}

std::string hostOf(const std::string& url) {
    std::string host;
    CURLU* parsed = curl_url();
    char* part = nullptr;
    if (parsed != nullptr && curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
        curl_url_get(parsed, CURLUPART_HOST, &part, 0) == CURLUE_OK) {
        host = part;
        curl_free(part);
    }
    curl_url_cleanup(parsed);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    return host;
}

}  // namespace

bool internetGetConnectedState(const std::wstring& serverUrl) {
    initialiseCurlOnce();
    if (routeToHost(hostOf(wideToUtf8(serverUrl)))) {
        return true;
    }
    // A name that cannot be resolved here may still be reachable once a network answers: any
    // route to the outside counts then (documentation addresses, never contacted).
    return routeToHost("192.0.2.1") || routeToHost("2001:db8::1");
}

InternetHandle internetOpen() {
    initialiseCurlOnce();
    return new InternetObject();
}

InternetHandle internetOpenUrl(InternetHandle internet, const std::wstring& url) {
    if (internet == nullptr || internet->kind != InternetObject::Kind::Internet) {
        fail(kErrorInvalidHandle);
        return nullptr;
    }
    Request* request = new Request();
    request->kind = InternetObject::Kind::Request;
    request->easy = curl_easy_init();
    request->multi = curl_multi_init();
    if (request->easy == nullptr || request->multi == nullptr) {
        closeRequest(request);
        fail(kErrorInternetInternal);
        return nullptr;
    }
    const std::string address = wideToUtf8(url);
    request->secure = strncasecmp(address.c_str(), "https://", 8) == 0;
    request->headers = curl_slist_append(request->headers, "Cache-Control: no-cache");
    request->headers = curl_slist_append(request->headers, "Pragma: no-cache");
    CURL* easy = request->easy;
    curl_easy_setopt(easy, CURLOPT_URL, address.c_str());
    curl_easy_setopt(easy, CURLOPT_PROXY, "");  // direct: no proxy, not even from the environment
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    // A secure request is never redirected to plain HTTP, nor any request to another scheme.
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, request->secure ? "https" : "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, request->headers);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, request->errorBuffer);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, receiveBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, request);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, receiveHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, request);
    curl_multi_add_handle(request->multi, easy);

    pump(*request, false);
    while (!request->headersDone && !request->finished) {
        pump(*request, true);
    }
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    if (request->finished && request->result != CURLE_OK &&
        (!request->headersDone || status == 0)) {
        const uint32_t code = winInetError(*request, request->result);
        closeRequest(request);
        fail(code);
        return nullptr;
    }
    request->headersDone = true;
    return request;
}

bool httpQueryStatusCode(InternetHandle handle, std::wstring& statusText) {
    Request* request = asRequest(handle);
    if (request == nullptr) {
        return fail(kErrorInvalidHandle);
    }
    long status = 0;
    curl_easy_getinfo(request->easy, CURLINFO_RESPONSE_CODE, &status);
    if (status <= 0) {
        return fail(kErrorHttpHeaderNotFound);
    }
    statusText = std::to_wstring(status);
    return true;
}

bool httpQueryContentLength(InternetHandle handle, uint64_t& length) {
    Request* request = asRequest(handle);
    if (request == nullptr) {
        return fail(kErrorInvalidHandle);
    }
    curl_off_t announced = -1;
    curl_easy_getinfo(request->easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    if (announced < 0) {
        return fail(kErrorHttpHeaderNotFound);
    }
    length = static_cast<uint64_t>(announced);
    return true;
}

bool internetReadFile(InternetHandle handle, void* buffer, uint32_t size, uint32_t& bytesRead) {
    bytesRead = 0;
    Request* request = asRequest(handle);
    if (request == nullptr) {
        return fail(kErrorInvalidHandle);
    }
    while (true) {
        const size_t available = request->pending.size() - request->pendingOffset;
        if (available > 0 || size == 0) {
            const size_t count = std::min<size_t>(available, size);
            std::memcpy(buffer, request->pending.data() + request->pendingOffset, count);
            request->pendingOffset += count;
            if (request->pendingOffset == request->pending.size()) {
                request->pending.clear();
                request->pendingOffset = 0;
            }
            bytesRead = static_cast<uint32_t>(count);
            return true;
        }
        if (request->paused) {
            request->paused = false;
            curl_easy_pause(request->easy, CURLPAUSE_CONT);
            pump(*request, false);
            continue;
        }
        if (request->finished) {
            return request->result == CURLE_OK ? true
                                               : fail(winInetError(*request, request->result));
        }
        pump(*request, true);
    }
}

void internetCloseHandle(InternetHandle handle) {
    if (Request* request = asRequest(handle)) {
        closeRequest(request);
    } else {
        delete handle;
    }
}

uint32_t lastError() {
    return lastErrorCode;
}

std::wstring internetErrorText(uint32_t code) {
    switch (code) {
        case kErrorInvalidHandle:
            return L"The handle is invalid.";
        case kErrorNotEnoughMemory:
            return L"Not enough memory resources are available to process this command.";
        case kErrorInternetTimeout:
            return L"The operation timed out";
        case kErrorInternetInternal:
            return L"An internal error occurred in the Internet client";
        case kErrorInternetInvalidUrl:
            return L"The URL is invalid";
        case kErrorInternetUnrecognizedScheme:
            return L"The URL does not use a recognized protocol";
        case kErrorInternetNameNotResolved:
            return L"The server name or address could not be resolved";
        case kErrorInternetCannotConnect:
            return L"A connection with the server could not be established";
        case kErrorInternetConnectionAborted:
            return L"The connection with the server was terminated abnormally";
        case kErrorInternetConnectionReset:
            return L"The connection with the server was reset";
        case kErrorInternetSecCertDateInvalid:
            return L"The date in the certificate is invalid or has expired";
        case kErrorInternetSecCertCnInvalid:
            return L"The host name in the certificate is invalid or does not match";
        case kErrorInternetHttpsToHttpOnRedirect:
            return L"The connection was redirected from a secure to a non-secure address";
        case kErrorInternetInvalidCa:
            return L"The certificate authority is invalid or incorrect";
        case kErrorHttpHeaderNotFound:
            return L"The requested header could not be located";
        case kErrorHttpInvalidServerResponse:
            return L"The server returned an invalid or unrecognized response";
        case kErrorHttpRedirectFailed:
            return L"The redirection failed because too many redirects were attempted";
        case kErrorInternetSecurityChannelError:
            return L"An error occurred in the secure channel support";
        case kErrorInternetSecInvalidCert:
            return L"The SSL certificate is invalid";
        case kErrorInternetSecCertRevoked:
            return L"The SSL certificate was revoked";
        default:
            return std::wstring();
    }
}

}  // namespace platform
