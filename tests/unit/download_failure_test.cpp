// Download failure messages: HTTP client error codes and status texts as the user reads them.
#include <gtest/gtest.h>

#include "download_test_support.h"
#include "network/download_failure.h"
#include "platform/http.h"

namespace {

using download_test::Message;
using download_test::takeMessages;

class DownloadFailureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previousLanguage_ = catalog().currentLanguage();
        english_ = download_test::useEnglishTexts();
        takeMessages();
        platform::setMessageSinkForTests(download_test::captureMessage);
    }
    void TearDown() override {
        platform::setMessageSinkForTests(nullptr);
        catalog().setLanguage(previousLanguage_);
    }

    Message only() {
        std::vector<Message> messages = takeMessages();
        EXPECT_EQ(messages.size(), 1u);
        return messages.empty() ? Message{} : messages[0];
    }

    bool english_ = false;
    std::wstring previousLanguage_;
};

TEST_F(DownloadFailureTest, CodeZeroShowsNothing) {
    reportNetworkError(0, L"Helmsight.zip");
    EXPECT_TRUE(takeMessages().empty());
}

TEST_F(DownloadFailureTest, ErrorCodesShowTheSystemTextTheCodeAndTheLastNameComponent) {
    const std::pair<std::wstring, std::wstring> names[] = {
        {L"Helmsight.zip", L"Helmsight.zip"},
        {L"C:\\Program Files (x86)\\Korvane\\Helmsight.zip", L"Helmsight.zip"},
        {L"/opt/Korvane/SSD Helmsight/Helmsight.zip", L"Helmsight.zip"},
        {L"folder\\sub/Helmsight.zip", L"Helmsight.zip"},
        {L"ends-with-a-separator\\", L""},
        {L"", L""},
    };
    const std::wstring systemText = platform::internetErrorText(12029);
    for (const auto& [name, shown] : names) {
        reportNetworkError(12029, name);
        const Message message = only();
        EXPECT_EQ(message.text, systemText + L"(0x2efd): " + shown);
        EXPECT_EQ(message.caption, translate(L"IDS_TITLE_ERROR"));
    }
}

TEST_F(DownloadFailureTest, UntrustedCertificateKeepsTheWholeName) {
    const std::wstring name = L"C:\\Program Files (x86)\\Korvane\\Helmsight.zip";
    reportNetworkError(12045, name);
    const Message message = only();
    EXPECT_EQ(message.text, translate(L"ssl_error", {name}));
    if (english_) {
        EXPECT_EQ(
            message.text,
            L"SSL handshake failed (0x2F0D): C:\\Program Files (x86)\\Korvane\\Helmsight.zip");
        EXPECT_EQ(message.caption, L"Error");
    }
}

TEST_F(DownloadFailureTest, NetworkFailuresHaveSystemTextsWithoutTrailingBreaks) {
    // The failures the tests meet; Wine's wininet.dll has no text for some rarer ones.
    for (const uint32_t code : {12002u, 12007u, 12029u, 12030u, 12038u}) {
        SCOPED_TRACE(code);
        const std::wstring text = platform::internetErrorText(code);
        ASSERT_FALSE(text.empty());
        EXPECT_NE(text.back(), L'\n');
        EXPECT_NE(text.back(), L'\r');
        EXPECT_NE(text.back(), L' ');
    }
}

TEST_F(DownloadFailureTest, CodeWithoutSystemTextIsAnUnknownError) {
    reportNetworkError(0x1234567u, L"dir/Helmsight.zip");
    EXPECT_EQ(only().text, L"unknown error(0x1234567): Helmsight.zip");
}

TEST_F(DownloadFailureTest, StatusIsTheLeadingNumber) {
    EXPECT_EQ(httpStatusOf(L"200"), 200);
    EXPECT_EQ(httpStatusOf(L"404 Not Found"), 404);
    EXPECT_EQ(httpStatusOf(L"399"), 399);
    EXPECT_EQ(httpStatusOf(L""), 0);
    EXPECT_EQ(httpStatusOf(L"OK"), 0);
    EXPECT_GT(httpStatusOf(L"99999999999999999999"), 399);  // no overflow into the success range
}

TEST_F(DownloadFailureTest, DownloadFailureNamesWhatAndWhy) {
    reportDownloadFailure(L"orvel_updater.xml", L"");
    EXPECT_EQ(only().text, translate(L"error_download") + L" orvel_updater.xml");
    reportDownloadFailure(L"/opt/x/Helmsight.zip", L"Permission denied");
    const Message message = only();
    EXPECT_EQ(message.text,
              translate(L"error_download") + L" /opt/x/Helmsight.zip: Permission denied");
    if (english_) {
        EXPECT_EQ(message.text, L"Failed to download /opt/x/Helmsight.zip: Permission denied");
        EXPECT_EQ(message.caption, L"Error");
    }
}

}  // namespace
