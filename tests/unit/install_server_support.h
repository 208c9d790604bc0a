// The download server for the installation runs, as tests/system/test_install_worker.sh
// starts it (helmsight-download-server on 127.0.0.1), passed through the environment with
// paths as the program under test sees them: HELMSIGHT_TEST_SERVER_URL (base URL, ends with
// "/"), HELMSIGHT_TEST_SERVER_ROOT (the folder it serves), HELMSIGHT_TEST_SERVER_RULES (its
// rules file, read on every request) and HELMSIGHT_TEST_SERVER_RELEASE (the file that ends a
// "hold"). Without them the tests that need the server are skipped.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/product_profile.h"
#include "download_test_support.h"
#include "localization/translation_catalog.h"
#include "platform/files.h"
#include "platform/text.h"

namespace installtest {

using download_test::pathFromEnvironment;
using download_test::patternBytes;

class ServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* url = std::getenv("HELMSIGHT_TEST_SERVER_URL");
        if (url == nullptr || url[0] == '\0') {
            GTEST_SKIP() << "needs the download server of tests/system/test_install_worker.sh";
        }
        root_ = pathFromEnvironment("HELMSIGHT_TEST_SERVER_ROOT");
        fillProductProfile(platform::utf8ToWide(url));
        catalog().loadTranslations();
        catalog().setLanguage(L"en-US");
        english_ = translate(L"IDS_TITLE_ERROR") == L"Error";
        setRules({});
        std::filesystem::remove(pathFromEnvironment("HELMSIGHT_TEST_SERVER_RELEASE"));
        scratch_ = std::filesystem::temp_directory_path() /
                   ("helmsight-install-" +
                    std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(scratch_);
        std::filesystem::create_directories(scratch_);
    }

    void TearDown() override {
        if (!scratch_.empty()) {
            std::error_code error;
            std::filesystem::remove_all(scratch_, error);
        }
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

    std::filesystem::path root_;
    std::filesystem::path scratch_;
    bool english_ = false;
};

}  // namespace installtest
