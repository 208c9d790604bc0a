// Without any network (tests/system/test_download_client.sh runs these in a network namespace of
// their own on Linux): the connection message, and the installed version standing in for the
// manifest. Skipped unless HELMSIGHT_TEST_OFFLINE is set.
#include <gtest/gtest.h>

#include <filesystem>

#include "download_test_support.h"
#include "network/download_client.h"
#include "network/version_manifest.h"
#include "registry/install_record.h"

namespace {

using download_test::Message;
using download_test::takeMessages;

class NetworkOfflineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previousLanguage_ = catalog().currentLanguage();
        if (download_test::environment("HELMSIGHT_TEST_OFFLINE").empty()) {
            GTEST_SKIP() << "runs only without a network (HELMSIGHT_TEST_OFFLINE)";
        }
        fillProductProfile(L"http://127.0.0.1:1/");
        session().uninstall = false;
        english_ = download_test::useEnglishTexts();
        takeMessages();
        platform::setMessageSinkForTests(download_test::captureMessage);
    }
    void TearDown() override {
        platform::setMessageSinkForTests(nullptr);
        catalog().setLanguage(previousLanguage_);
    }

    bool english_ = false;
    std::wstring previousLanguage_;
};

TEST_F(NetworkOfflineTest, DownloadsShowTheConnectionMessageAndTouchNothing) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "helmsight-offline-download";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    EXPECT_FALSE(isInternetConnected());
    EXPECT_FALSE(downloadToFile(L"application/1.0/", folder.wstring() + L"/", L"Helmsight.zip"));
    std::wstring text = L"unchanged";
    EXPECT_FALSE(downloadToText(L"config/", L"orvel_updater.xml", text));
    EXPECT_EQ(text, L"unchanged");
    EXPECT_FALSE(remoteFileExists(L"application/1.0/", L"Helmsight.zip"));

    const std::vector<Message> messages = takeMessages();
    ASSERT_EQ(messages.size(), 2u);  // the probe shows nothing
    for (const Message& message : messages) {
        EXPECT_EQ(message.text, translate(L"error_no_network"));
        EXPECT_EQ(message.caption, translate(L"error_download"));
        if (english_) {
            EXPECT_EQ(message.text, L"There is no internet connection. Please try again later.");
            EXPECT_EQ(message.caption, L"Failed to download");
        }
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder));  // no file is created
    std::filesystem::remove_all(folder);
}

TEST_F(NetworkOfflineTest, ManifestIsNeededUnlessCompletelyInstalled) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    platform::setMessageSinkForTests(download_test::printMessage);
    EXPECT_EXIT(readPackageVersion(), ::testing::ExitedWithCode(2),
                english_ ? "Failed to download: There is no internet connection\\." : "");
}

TEST_F(NetworkOfflineTest, CompleteInstallationUsesTheInstalledVersion) {
    const InstallRecord record;
    record.setInstalledState(kInstalledComplete);
    record.setCurrentVersion(Version(L"4.5.6"));
    if (record.getInstalledState(Brand::Korvane) != kInstalledComplete) {
        GTEST_SKIP() << "the installation record does not keep values yet";
    }
    const Version version = readPackageVersion();
    record.removeRegistration();
    EXPECT_EQ(version.text(), L"4.5.6");
    EXPECT_TRUE(takeMessages().empty());
}

}  // namespace
