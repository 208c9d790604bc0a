// Shared by the download, failure-message and manifest tests: the download server that
// tests/system/test_download_client.sh starts (helmsight-download-server on 127.0.0.1), the
// message boxes the code under test shows, and the English catalogue.
//
// The script passes the server through the environment (paths as the program under test sees
// them): HELMSIGHT_TEST_SERVER_URL (plain HTTP base URL, ends with "/"), HELMSIGHT_TEST_TLS_URL
// (HTTPS with a self-signed certificate), HELMSIGHT_TEST_SERVER_ROOT (the folder it serves),
// HELMSIGHT_TEST_SERVER_RULES (its rules file, read on every request), HELMSIGHT_TEST_SERVER_LOG
// (its request log) and HELMSIGHT_TEST_SERVER_RELEASE (the file that ends a "hold").
// Without these the tests that need the server are skipped.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "core/product_profile.h"
#include "core/session_state.h"
#include "localization/translation_catalog.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/text.h"

namespace download_test {

struct Message {
    std::wstring text;
    std::wstring caption;
};

inline std::mutex& messageMutex() {
    static std::mutex mutex;
    return mutex;
}

inline std::vector<Message>& capturedMessages() {
    static std::vector<Message> messages;
    return messages;
}

inline void captureMessage(const std::wstring& text, const std::wstring& caption) {
    std::lock_guard<std::mutex> lock(messageMutex());
    capturedMessages().push_back({text, caption});
}

// For death tests: the child's message goes to its standard error, where EXPECT_EXIT looks.
inline void printMessage(const std::wstring& text, const std::wstring& caption) {
    std::fprintf(stderr, "%s: %s\n", platform::wideToUtf8(caption).c_str(),
                 platform::wideToUtf8(text).c_str());
    std::fflush(stderr);
}

inline std::vector<Message> takeMessages() {
    std::lock_guard<std::mutex> lock(messageMutex());
    std::vector<Message> messages;
    messages.swap(capturedMessages());
    return messages;
}

inline std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

inline std::wstring wideEnvironment(const char* name) {
    return platform::utf8ToWide(environment(name));
}

inline std::filesystem::path pathFromEnvironment(const char* name) {
    return platform::toPath(wideEnvironment(name));
}

// The English texts, when the catalogue can give them (it cannot before it is built).
inline bool useEnglishTexts() {
    static const bool loaded = [] {
        catalog().loadTranslations();
        return true;
    }();
    (void)loaded;
    catalog().setLanguage(L"en-US");
    return translate(L"IDS_TITLE_ERROR") == L"Error";
}

inline void writeBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A body that shows misplaced or lost blocks and that no archiver can squeeze: every byte
// value, no short period.
inline std::string patternBytes(size_t size) {
    std::string bytes(size, '\0');
    uint32_t state = 12345;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 23);
    }
    return bytes;
}

// Fills the profile for the test server, takes the message boxes, starts with no rules and an
// empty scratch folder for downloads.
class ServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        baseUrl_ = wideEnvironment("HELMSIGHT_TEST_SERVER_URL");
        if (baseUrl_.empty()) {
            GTEST_SKIP() << "needs the download server of tests/system/test_download_client.sh";
        }
        root_ = pathFromEnvironment("HELMSIGHT_TEST_SERVER_ROOT");
        fillProductProfile(baseUrl_);
        session().uninstall = false;
        previousLanguage_ = catalog().currentLanguage();
        english_ = useEnglishTexts();
        setRules({});
        std::filesystem::remove(pathFromEnvironment("HELMSIGHT_TEST_SERVER_RELEASE"));
        scratch_ = std::filesystem::temp_directory_path() /
                   ("helmsight-download-" +
                    std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(scratch_);
        std::filesystem::create_directories(scratch_);
        takeMessages();
        platform::setMessageSinkForTests(captureMessage);
    }

    void TearDown() override {
        platform::setMessageSinkForTests(nullptr);
        if (!baseUrl_.empty()) {
            catalog().setLanguage(previousLanguage_);
        }
        if (!scratch_.empty()) {
            std::error_code error;
            std::filesystem::remove_all(scratch_, error);
        }
    }

    // A file on the server below "kvrHelmsight/", the folder every request goes to.
    void serve(const std::string& pathBelowFolder, const std::string& bytes) {
        writeBytes(root_ / "kvrHelmsight" / pathBelowFolder, bytes);
    }

    // Replaces the server's rules: "PATH=ACTIONS" lines, PATH below "/kvrHelmsight/".
    void setRules(const std::vector<std::string>& rules) {
        std::ofstream out(pathFromEnvironment("HELMSIGHT_TEST_SERVER_RULES"), std::ios::trunc);
        for (const std::string& rule : rules) {
            out << "/kvrHelmsight/" << rule << '\n';
        }
    }

    void releaseHolds() {
        std::ofstream(pathFromEnvironment("HELMSIGHT_TEST_SERVER_RELEASE")) << "go\n";
    }

    std::vector<std::string> requestLog() const {
        std::ifstream in(pathFromEnvironment("HELMSIGHT_TEST_SERVER_LOG"));
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(in, line)) {
            lines.push_back(line);
        }
        return lines;
    }

    // The scratch folder as a folder text of the program: it ends with the separator.
    std::wstring scratchFolder() const {
        return scratch_.wstring() + std::wstring(1, std::filesystem::path::preferred_separator);
    }

    std::wstring baseUrl_;
    std::filesystem::path root_;
    std::filesystem::path scratch_;
    bool english_ = false;
    std::wstring previousLanguage_;
};

}  // namespace download_test
