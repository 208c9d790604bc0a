// The download client against the real test server on 127.0.0.1: statuses, dropped and refused
// connections, aborts, certificates and files that cannot be written.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <thread>

#include "download_test_support.h"
#include "network/download_client.h"
#include "network/download_failure.h"
#include "platform/http.h"

namespace {

using download_test::Message;
using download_test::readBytes;
using download_test::ServerTest;
using download_test::takeMessages;

const std::wstring kFolder = L"application/5.0.0/";
const std::wstring kPackage = L"Helmsight.zip";

class DownloadClientTest : public ServerTest {
  protected:
    std::filesystem::path downloaded() const { return scratch_ / "Helmsight.zip"; }
    bool download() { return downloadToFile(kFolder, scratchFolder(), kPackage); }
};

struct StatusCase {
    const char* rule;  // actions for the package's path; empty: the file as it is
    bool succeeds;
    const wchar_t* englishText;  // the message, when it fails
};

TEST_F(DownloadClientTest, StatusDecidesSuccessAndMessage) {
    const std::string body = download_test::patternBytes(10000);
    const StatusCase cases[] = {
        {"", true, L""},
        {"status:302", true, L""},  // a redirect without a Location reaches the status check
        {"status:399", true, L""},
        {"delay:300", true, L""},  // a slow answer is waited for
        {"status:403", false, L"Error code 403 downloading file Helmsight.zip"},
        {"status:404", false, L"Missing file: Helmsight.zip"},
        {"status:500", false, L"Internal server error downloading file Helmsight.zip"},
        {"status:503", false, L"Error code 503 downloading file Helmsight.zip"},
    };
    serve("application/5.0.0/Helmsight.zip", body);
    for (const StatusCase& c : cases) {
        SCOPED_TRACE(c.rule);
        setRules({std::string("application/5.0.0/Helmsight.zip=") + c.rule});
        EXPECT_EQ(download(), c.succeeds);
        const std::vector<Message> messages = takeMessages();
        ASSERT_TRUE(std::filesystem::exists(downloaded()));
        if (c.succeeds) {
            EXPECT_TRUE(messages.empty());
            EXPECT_EQ(readBytes(downloaded()), body);
        } else {
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(std::filesystem::file_size(downloaded()), 0u);  // created, nothing written
            if (english_) {
                EXPECT_EQ(messages[0].text, c.englishText);
                EXPECT_EQ(messages[0].caption, L"Error");
            }
        }
    }
}

TEST_F(DownloadClientTest, RedirectsAreFollowed) {
    serve("application/5.0.0/moved.zip", "the moved package");
    setRules(
        {"application/5.0.0/Helmsight.zip=redirect:/kvrHelmsight/application/5.0.0/moved.zip"});
    EXPECT_TRUE(download());
    EXPECT_TRUE(takeMessages().empty());
    EXPECT_EQ(readBytes(downloaded()), "the moved package");
}

TEST_F(DownloadClientTest, LargeBodyArrivesWhole) {
    // Not a multiple of the read block, so the last block is a short one.
    const std::string body = download_test::patternBytes(3 * 1024 * 1024 + 123);
    serve("application/5.0.0/Helmsight.zip", body);
    EXPECT_TRUE(download());
    EXPECT_TRUE(takeMessages().empty());
    EXPECT_TRUE(readBytes(downloaded()) == body);
}

TEST_F(DownloadClientTest, ReplacesAnExistingFile) {
    download_test::writeBytes(downloaded(), std::string(50000, 'x'));
    serve("application/5.0.0/Helmsight.zip", "short");
    EXPECT_TRUE(download());
    EXPECT_EQ(readBytes(downloaded()), "short");
}

TEST_F(DownloadClientTest, BodyCutShortOfItsLengthFails) {
    serve("application/5.0.0/Helmsight.zip", download_test::patternBytes(200000));
    setRules({"application/5.0.0/Helmsight.zip=cut:50000"});
    EXPECT_FALSE(download());
    const std::vector<Message> messages = takeMessages();
    ASSERT_EQ(messages.size(), 1u);
    // 12030: the connection was terminated.
    const std::wstring suffix = L"(0x2efe): Helmsight.zip";
    EXPECT_EQ(messages[0].text, platform::internetErrorText(12030) + suffix);
    EXPECT_LE(std::filesystem::file_size(downloaded()), 50000u);
}

TEST_F(DownloadClientTest, AbortStopsMidwayAndTheNextDownloadStartsAfresh) {
    const std::string body = download_test::patternBytes(1024 * 1024);
    const uintmax_t heldAt = 16 * 4096;
    serve("application/5.0.0/Helmsight.zip", body);
    setRules({"application/5.0.0/Helmsight.zip=hold:" + std::to_string(heldAt)});

    std::future<bool> result = std::async(std::launch::async, [this] { return download(); });
    // The server holds the rest back until released; wait for what it sent to be written.
    const auto writtenSoFar = [this] {
        std::error_code error;
        const uintmax_t size = std::filesystem::file_size(downloaded(), error);
        return error ? 0 : size;
    };
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (writtenSoFar() < heldAt && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const uintmax_t writtenBeforeAbort = writtenSoFar();
    abortDownloads();
    releaseHolds();
    ASSERT_EQ(writtenBeforeAbort, heldAt);
    EXPECT_TRUE(result.get());
    EXPECT_TRUE(takeMessages().empty());
    // The block read together with the abort is not written.
    EXPECT_EQ(readBytes(downloaded()), body.substr(0, heldAt));

    setRules({});
    EXPECT_TRUE(download());
    EXPECT_TRUE(readBytes(downloaded()) == body);
}

TEST_F(DownloadClientTest, RefusedConnectionIsReportedWithoutAName) {
    fillProductProfile(L"http://127.0.0.1:1/");  // nothing listens on port 1
    EXPECT_FALSE(download());
    const std::vector<Message> messages = takeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, platform::internetErrorText(12029) + L"(0x2efd): ");
    EXPECT_TRUE(std::filesystem::exists(downloaded()));
}

TEST_F(DownloadClientTest, UntrustedCertificateGivesTheSslMessage) {
    const std::wstring tlsUrl = download_test::wideEnvironment("HELMSIGHT_TEST_TLS_URL");
    ASSERT_FALSE(tlsUrl.empty());
    serve("application/5.0.0/Helmsight.zip", "secret");
    serve("config/orvel_updater.xml", "<version>1</version>");
    fillProductProfile(tlsUrl);

    EXPECT_FALSE(download());
    std::wstring text;
    EXPECT_FALSE(downloadToText(L"config/", L"orvel_updater.xml", text));
    EXPECT_FALSE(remoteFileExists(kFolder, kPackage));
    const std::vector<Message> messages = takeMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, translate(L"ssl_error", {L""}));
    EXPECT_EQ(messages[1].text, translate(L"ssl_error", {L"orvel_updater.xml"}));
    if (english_) {
        EXPECT_EQ(messages[0].text, L"SSL handshake failed (0x2F0D): ");
        EXPECT_EQ(messages[1].text, L"SSL handshake failed (0x2F0D): orvel_updater.xml");
    } else {
        EXPECT_EQ(messages[1].text.find(L"(0x"), std::wstring::npos);
    }
    EXPECT_EQ(std::filesystem::file_size(downloaded()), 0u);
}

TEST_F(DownloadClientTest, DestinationThatCannotBeCreatedFailsBeforeAnyRequest) {
    serve("application/5.0.0/Helmsight.zip", "package");
    const size_t requestsBefore = requestLog().size();
    const std::wstring missingFolder =
        scratchFolder() + L"missing" + std::wstring(1, std::filesystem::path::preferred_separator);
    EXPECT_FALSE(downloadToFile(kFolder, missingFolder, kPackage));
    const std::vector<Message> messages = takeMessages();
    ASSERT_EQ(messages.size(), 1u);
    const std::wstring start =
        translate(L"error_download") + L" " + missingFolder + kPackage + L": ";
    ASSERT_EQ(messages[0].text.substr(0, start.size()), start);
    EXPECT_GT(messages[0].text.size(), start.size());  // the system's reason follows
    EXPECT_EQ(requestLog().size(), requestsBefore);
}

// The package is written as root: a link planted in its place is not written through.
TEST_F(DownloadClientTest, LinkInPlaceOfTheDestinationIsNotFollowed) {
    if (std::filesystem::path::preferred_separator == L'\\') {
        GTEST_SKIP() << "planting links is the Linux test's business";
    }
    serve("application/5.0.0/Helmsight.zip", "package");
    const std::filesystem::path victim = scratch_ / "victim";
    std::filesystem::create_symlink(victim, downloaded());
    EXPECT_FALSE(download());
    const std::vector<Message> messages = takeMessages();
    ASSERT_EQ(messages.size(), 1u);
    const std::wstring start = translate(L"error_download") + L" " + scratchFolder() + kPackage;
    EXPECT_EQ(messages[0].text.substr(0, start.size()), start);
    EXPECT_FALSE(std::filesystem::exists(victim));
    EXPECT_TRUE(std::filesystem::is_symlink(downloaded()));
}

TEST_F(DownloadClientTest, RemoteFileExistsFollowsTheStatusAndShowsNothing) {
    serve("application/5.0.0/Helmsight.zip", "package");
    const std::pair<const char*, bool> cases[] = {
        {"", true},
        {"status:302", true},
        {"status:399", true},
        {"status:400", false},
        {"status:404", false},
        {"status:500", false},
    };
    for (const auto& [rule, exists] : cases) {
        SCOPED_TRACE(rule);
        setRules({std::string("application/5.0.0/Helmsight.zip=") + rule});
        EXPECT_EQ(remoteFileExists(kFolder, kPackage), exists);
    }
    EXPECT_FALSE(remoteFileExists(kFolder, L"KorvaneHelmsight.zip"));  // not on the server
    fillProductProfile(L"http://127.0.0.1:1/");
    EXPECT_FALSE(remoteFileExists(kFolder, kPackage));
    EXPECT_TRUE(takeMessages().empty());
}

TEST_F(DownloadClientTest, RequestUrlIsThePlainConcatenation) {
    serve("application/5.0.0/Helmsight.zip", "package");
    EXPECT_TRUE(download());
    EXPECT_TRUE(remoteFileExists(kFolder, L"Helmsight.zip"));
    const std::vector<std::string> log = requestLog();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "GET /kvrHelmsight/application/5.0.0/Helmsight.zip");
    EXPECT_EQ(log.back(), "GET /kvrHelmsight/application/5.0.0/Helmsight.zip");
}

TEST_F(DownloadClientTest, TextTakesEachByteAsOneCharacter) {
    std::string body = "<version>1.2</version>";
    body += "\xC3\xA9\x7F\x80\xFF";
    serve("config/orvel_updater.xml", body);
    std::wstring text = L"old content";
    EXPECT_TRUE(downloadToText(L"config/", L"orvel_updater.xml", text));
    std::wstring expected = L"<version>1.2</version>";
    expected += {wchar_t(0xC3), wchar_t(0xA9), wchar_t(0x7F), wchar_t(0x80), wchar_t(0xFF)};
    EXPECT_EQ(text, expected);
    EXPECT_TRUE(takeMessages().empty());
}

TEST_F(DownloadClientTest, TextFailuresNameTheFile) {
    serve("config/orvel_updater.xml", download_test::patternBytes(100000));
    setRules({"config/orvel_updater.xml=cut:10000"});
    std::wstring text;
    EXPECT_FALSE(downloadToText(L"config/", L"orvel_updater.xml", text));
    setRules({"config/orvel_updater.xml=status:404"});
    EXPECT_FALSE(downloadToText(L"config/", L"orvel_updater.xml", text));
    fillProductProfile(L"http://127.0.0.1:1/");
    EXPECT_FALSE(downloadToText(L"config/", L"orvel_updater.xml", text));

    const std::vector<Message> messages = takeMessages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].text,
              platform::internetErrorText(12030) + L"(0x2efe): orvel_updater.xml");
    EXPECT_EQ(messages[1].text, translate(L"text_missing_file", {L"orvel_updater.xml"}));
    EXPECT_EQ(messages[2].text,
              platform::internetErrorText(12029) + L"(0x2efd): orvel_updater.xml");
    if (english_) {
        EXPECT_EQ(messages[1].text, L"Missing file: orvel_updater.xml");
    }
}

TEST_F(DownloadClientTest, TextLimitRefusesLargerBodies) {
    serve("config/orvel_updater.xml", std::string(1000, 'v'));
    std::wstring text;
    EXPECT_TRUE(downloadToText(L"config/", L"orvel_updater.xml", text, 1000));
    EXPECT_EQ(text.size(), 1000u);
    EXPECT_TRUE(takeMessages().empty());

    serve("config/orvel_updater.xml", std::string(1001, 'v'));
    EXPECT_FALSE(downloadToText(L"config/", L"orvel_updater.xml", text, 1000));
    const std::vector<Message> messages = takeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, translate(L"error_download") + L" orvel_updater.xml");
    if (english_) {
        EXPECT_EQ(messages[0].text, L"Failed to download orvel_updater.xml");
    }
}

}  // namespace
