// helmsight-download-server: a small stand-in for the vendor's download server, for the system
// tests and the demo. It serves the files below a folder on 127.0.0.1 over HTTP or HTTPS and
// can make chosen paths misbehave.
//
// Usage: helmsight-download-server --root DIR [options]
//   --root DIR         folder served: GET /a/b answers with DIR/a/b (404 when there is no file)
//   --port N           port to listen on; 0 (the default) picks a free one
//   --port-file F      writes the port, once listening, to F (written whole, then renamed)
//   --log F            appends one line per request to F: the method, a blank, the path
//   --rule PATH=ACTIONS      makes requests for PATH (exact, with the leading "/") misbehave;
//                      ACTIONS is a comma-separated list of
//                        status:CODE   answer with CODE; the body is the file if there is one,
//                                      else a short text
//                        redirect:URL  add a Location header (status 302 unless status: is given)
//                        delay:MS      wait MS milliseconds before answering
//                        cut:BYTES     announce the file's full length, send BYTES, then close
//                        hold:BYTES    send BYTES, then wait until the release file exists
//                                      (at most 120 s) and send the rest
//   --rules-file F     more rules, one PATH=ACTIONS a line (# starts a comment); read again on
//                      every request, so a test can change them while the server runs
//   --release F        the file whose existence ends every hold
//   --tls-cert C --tls-key K   serve HTTPS with this certificate and key (PEM)
//   --lifetime S       stop by itself after S seconds (0, the default: run until SIGTERM/SIGINT)
// The port is also printed on standard output as one line "port N". Ends with 0 after
// SIGTERM or SIGINT, with 2 on bad options or when it cannot listen.
#include <httplib.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Rule {
    int status = 0;
    std::string location;
    long delayMs = 0;
    long long cutAfter = -1;
    long long holdAfter = -1;
};

struct Options {
    fs::path root;
    int port = 0;
    std::string portFile;
    std::string logFile;
    std::string rulesFile;
    std::string releaseFile;
    std::string tlsCert;
    std::string tlsKey;
    long lifetimeSeconds = 0;
    std::map<std::string, Rule> rules;
};

constexpr size_t kChunkBytes = 64 * 1024;
constexpr auto kMaxHold = std::chrono::seconds(120);

bool parseNumber(const std::string& text, long long& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, 10);
    return *end == '\0' && value >= 0;
}

// "PATH=ACTION,ACTION" into rules; false with a reason on stderr when it does not parse.
bool parseRule(const std::string& ruleText, std::map<std::string, Rule>& rules) {
    const size_t equals = ruleText.find('=');
    if (equals == std::string::npos || equals == 0 || ruleText[0] != '/') {
        std::fprintf(stderr, "download-server: bad rule \"%s\" (want PATH=ACTIONS)\n",
                     ruleText.c_str());
        return false;
    }
    Rule rule;
    std::stringstream actions(ruleText.substr(equals + 1));
    std::string action;
    while (std::getline(actions, action, ',')) {
        const size_t colon = action.find(':');
        const std::string name = action.substr(0, colon);
        const std::string value = colon == std::string::npos ? "" : action.substr(colon + 1);
        long long number = 0;
        if (name == "redirect" && !value.empty()) {
            rule.location = value;
            continue;
        }
        if (!parseNumber(value, number)) {
            std::fprintf(stderr, "download-server: bad action \"%s\"\n", action.c_str());
            return false;
        }
        if (name == "status" && number >= 100 && number <= 999) {
            rule.status = static_cast<int>(number);
        } else if (name == "delay") {
            rule.delayMs = static_cast<long>(number);
        } else if (name == "cut") {
            rule.cutAfter = number;
        } else if (name == "hold") {
            rule.holdAfter = number;
        } else {
            std::fprintf(stderr, "download-server: bad action \"%s\"\n", action.c_str());
            return false;
        }
    }
    rules[ruleText.substr(0, equals)] = rule;
    return true;
}

class Server {
  public:
    explicit Server(Options options) : options_(std::move(options)) {}

    void handle(const httplib::Request& request, httplib::Response& response) {
        logRequest(request);
        const Rule rule = ruleFor(request.path);
        if (rule.delayMs > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(rule.delayMs));
        }
        const fs::path file = fileFor(request.path);
        std::error_code error;
        const bool haveFile = !file.empty() && fs::is_regular_file(file, error);
        response.status = rule.status != 0 ? rule.status : (haveFile ? 200 : 404);
        if (!rule.location.empty()) {
            response.set_header("Location", rule.location);
            if (rule.status == 0) {
                response.status = 302;
            }
        }
        if (!haveFile) {
            response.set_content("status " + std::to_string(response.status) + "\n", "text/plain");
            return;
        }
        serveFile(file, rule, response);
    }

    void logRequest(const httplib::Request& request) {
        if (options_.logFile.empty()) {
            return;
        }
        std::lock_guard<std::mutex> lock(logMutex_);
        std::ofstream log(options_.logFile, std::ios::app);
        log << request.method << ' ' << request.path << '\n';
    }

  private:
    Rule ruleFor(const std::string& path) {
        std::map<std::string, Rule> rules = options_.rules;
        if (!options_.rulesFile.empty()) {
            std::ifstream in(options_.rulesFile);
            std::string line;
            while (std::getline(in, line)) {
                while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
                    line.pop_back();
                }
                if (!line.empty() && line[0] != '#') {
                    parseRule(line, rules);
                }
            }
        }
        const auto found = rules.find(path);
        return found == rules.end() ? Rule() : found->second;
    }

    // The file below the root for a request path; empty for paths that climb out of it.
    fs::path fileFor(const std::string& path) const {
        fs::path relative = fs::path(path).relative_path();
        for (const fs::path& part : relative) {
            if (part == "..") {
                return {};
            }
        }
        return options_.root / relative;
    }

    void waitForRelease() const {
        const auto deadline = std::chrono::steady_clock::now() + kMaxHold;
        std::error_code error;
        while (std::chrono::steady_clock::now() < deadline &&
               !(options_.releaseFile.size() > 0 && fs::exists(options_.releaseFile, error))) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    // Streams the file in chunks: large packages are never held in memory.
    void serveFile(const fs::path& file, const Rule& rule, httplib::Response& response) {
        auto in = std::make_shared<std::ifstream>(file, std::ios::binary);
        std::error_code error;
        const size_t size = static_cast<size_t>(fs::file_size(file, error));
        const long long cutAfter = rule.cutAfter;
        const long long holdAfter = rule.holdAfter;
        auto held = std::make_shared<bool>(false);
        response.set_content_provider(
            size, "application/octet-stream",
            [this, in, cutAfter, holdAfter, held](size_t offset, size_t length,
                                                  httplib::DataSink& sink) {
                size_t want = std::min(length, kChunkBytes);
                for (long long limit : {cutAfter, holdAfter}) {
                    if (limit >= 0 && static_cast<long long>(offset) < limit) {
                        want = std::min(want, static_cast<size_t>(limit - offset));
                    }
                }
                if (cutAfter >= 0 && static_cast<long long>(offset) >= cutAfter) {
                    return false;  // drops the connection short of the announced length
                }
                if (holdAfter >= 0 && static_cast<long long>(offset) >= holdAfter && !*held) {
                    *held = true;
                    waitForRelease();
                }
                std::vector<char> buffer(want);
                in->seekg(static_cast<std::streamoff>(offset));
                in->read(buffer.data(), static_cast<std::streamsize>(want));
                const size_t got = static_cast<size_t>(in->gcount());
                if (got == 0) {
                    return false;
                }
                return sink.write(buffer.data(), got);
            });
    }

    Options options_;
    std::mutex logMutex_;
};

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc) {
            std::fprintf(stderr, "download-server: %s needs a value\n", name.c_str());
            return false;
        }
        const std::string value = argv[++i];
        long long number = 0;
        if (name == "--root") {
            options.root = value;
        } else if (name == "--port" && parseNumber(value, number) && number <= 65535) {
            options.port = static_cast<int>(number);
        } else if (name == "--port-file") {
            options.portFile = value;
        } else if (name == "--log") {
            options.logFile = value;
        } else if (name == "--rule") {
            if (!parseRule(value, options.rules)) {
                return false;
            }
        } else if (name == "--rules-file") {
            options.rulesFile = value;
        } else if (name == "--release") {
            options.releaseFile = value;
        } else if (name == "--tls-cert") {
            options.tlsCert = value;
        } else if (name == "--tls-key") {
            options.tlsKey = value;
        } else if (name == "--lifetime" && parseNumber(value, number)) {
            options.lifetimeSeconds = static_cast<long>(number);
        } else {
            std::fprintf(stderr, "download-server: bad option %s %s\n", name.c_str(),
                         value.c_str());
            return false;
        }
    }
    std::error_code error;
    if (options.root.empty() || !fs::is_directory(options.root, error)) {
        std::fprintf(stderr, "download-server: --root must name a folder\n");
        return false;
    }
    if (options.tlsCert.empty() != options.tlsKey.empty()) {
        std::fprintf(stderr, "download-server: --tls-cert and --tls-key go together\n");
        return false;
    }
    return true;
}

bool writePortFile(const std::string& path, int port) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary);
        out << port << '\n';
        if (!out) {
            return false;
        }
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    return !error;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        return 2;
    }

    // Signals are taken by one thread with sigwait; every other thread has them blocked.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    std::unique_ptr<httplib::Server> http;
    if (!options.tlsCert.empty()) {
        auto tls =
            std::make_unique<httplib::SSLServer>(options.tlsCert.c_str(), options.tlsKey.c_str());
        if (!tls->is_valid()) {
            std::fprintf(stderr, "download-server: cannot use the certificate or key\n");
            return 2;
        }
        http = std::move(tls);
    } else {
        http = std::make_unique<httplib::Server>();
    }

    Server server(options);
    http->Get(".*", [&server](const httplib::Request& request, httplib::Response& response) {
        server.handle(request, response);
    });
    // Other methods are logged too, and refused.
    const auto refuse = [&server](const httplib::Request& request, httplib::Response& response) {
        server.logRequest(request);
        response.status = 405;
    };
    http->Post(".*", refuse);
    http->Put(".*", refuse);
    http->Delete(".*", refuse);
    http->Options(".*", refuse);
    http->Patch(".*", refuse);

    int port = options.port;
    if (port == 0) {
        port = http->bind_to_any_port("127.0.0.1");
    } else if (!http->bind_to_port("127.0.0.1", port)) {
        port = -1;
    }
    if (port <= 0) {
        std::fprintf(stderr, "download-server: cannot listen on 127.0.0.1:%d\n", options.port);
        return 2;
    }
    std::printf("port %d\n", port);
    std::fflush(stdout);
    if (!options.portFile.empty() && !writePortFile(options.portFile, port)) {
        std::fprintf(stderr, "download-server: cannot write %s\n", options.portFile.c_str());
        return 2;
    }

    std::atomic<bool> stopped{false};
    std::thread signalThread([&http, &stopSignals, &stopped] {
        int signalNumber = 0;
        sigwait(&stopSignals, &signalNumber);
        if (!stopped.exchange(true)) {
            http->stop();
        }
    });
    signalThread.detach();
    if (options.lifetimeSeconds > 0) {
        std::thread([&http, &stopped, seconds = options.lifetimeSeconds] {
            std::this_thread::sleep_for(std::chrono::seconds(seconds));
            if (!stopped.exchange(true)) {
                http->stop();
            }
        }).detach();
    }

    http->listen_after_bind();
    return 0;
}
