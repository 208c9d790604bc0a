// The version manifest against the real test server: what the version is, which manifests end
// the process, and when no request is made at all.
#include <gtest/gtest.h>

#include <string>

#include "download_test_support.h"
#include "network/version_manifest.h"
#include "registry/install_record.h"

namespace {

using download_test::ServerTest;
using download_test::takeMessages;

class ManifestTest : public ServerTest {
  protected:
    void serveManifest(const std::string& bytes) { serve("config/orvel_updater.xml", bytes); }
};

struct ManifestCase {
    const char* name;
    std::string content;
    std::wstring version;
};

TEST_F(ManifestTest, VersionIsBetweenTheFirstTags) {
    const ManifestCase cases[] = {
        {"plain", "<version>5.3.2.4</version>", L"5.3.2.4"},
        {"xml around it",
         "<?xml version=\"1.0\"?>\n<updater><name>Helmsight</name><version>6.0.1</version>"
         "<notes>n</notes></updater>\n",
         L"6.0.1"},
        {"two versions", "<version>1.0</version><version>2.0</version>", L"1.0"},
        {"content after the tag", "<version>7.1</version><other>9.9</other></root>", L"7.1"},
        {"bytes above 0x7F", "\xEF\xBB\xBF\xC3\xA9<version>8.2</version>\xFF\x80", L"8.2"},
        {"closing tag before the opening one", "</version><version>4.4</version>", L"4.4"},
        {"every allowed character", "<version>Az09.-_+</version>", L"Az09.-_+"},
        {"64 characters", "<version>" + std::string(64, '7') + "</version>",
         std::wstring(64, L'7')},
    };
    for (const ManifestCase& c : cases) {
        SCOPED_TRACE(c.name);
        serveManifest(c.content);
        EXPECT_EQ(readPackageVersion().text(), c.version);
        EXPECT_TRUE(takeMessages().empty());
    }
    EXPECT_EQ(requestLog().back(), "GET /kvrHelmsight/config/orvel_updater.xml");
}

TEST_F(ManifestTest, UninstallMakesNoRequest) {
    serveManifest("<version>9.9.9</version>");
    const size_t requestsBefore = requestLog().size();
    session().uninstall = true;
    const Version version = readPackageVersion();
    session().uninstall = false;
    EXPECT_EQ(version.text(), InstallRecord().getCurrentVersion().text());
    EXPECT_EQ(requestLog().size(), requestsBefore);
    EXPECT_TRUE(takeMessages().empty());

    fillProductProfile(L"http://127.0.0.1:1/");  // not even an unreachable server is noticed
    session().uninstall = true;
    readPackageVersion();
    session().uninstall = false;
    EXPECT_TRUE(takeMessages().empty());
}

struct FailingCase {
    const char* name;
    std::string content;
    const char* rule;
};

// Every manifest that yields no version ends the process with 2 after a message naming it.
TEST_F(ManifestTest, ManifestWithoutVersionEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::string large = "<version>1.0</version>";
    large.resize(kMaxManifestBytes + 1, ' ');
    const FailingCase cases[] = {
        {"no tags", "<updater>1.0</updater>", ""},
        {"no closing tag", "<version>1.0", ""},
        {"closing tag only before the opening one", "</version>1.0<version>", ""},
        {"tags in another case", "<Version>1.0</Version>", ""},
        {"larger than 1 MiB", large, ""},
        {"missing", "", "status:404"},
        {"cut short", std::string(5000, 'x'), "cut:100"},
        // The version is a folder of the package URL: nothing may lead it elsewhere.
        {"empty", "<version></version>", ""},
        {"blanks", "<version> 3.1\r\n</version>", ""},
        {"a folder up", "<version>../../config</version>", ""},
        {"a query", "<version>1.0?x=1</version>", ""},
        {"a fragment", "<version>1.0#x</version>", ""},
        {"an escape", "<version>%2e%2e</version>", ""},
        {"a slash", "<version>1.0/evil</version>", ""},
        {"a backslash", "<version>1.0\\evil</version>", ""},
        {"a control character", "<version>1.0\x01</version>", ""},
        {"a letter above ASCII", "<version>1.0\xC3\xA9</version>", ""},
        {"65 characters", "<version>" + std::string(65, '7') + "</version>", ""},
    };
    for (const FailingCase& c : cases) {
        SCOPED_TRACE(c.name);
        serveManifest(c.content);
        setRules({std::string("config/orvel_updater.xml=") + c.rule});
        platform::setMessageSinkForTests(download_test::printMessage);
        // The 404 text names the file only once the catalogue gives texts.
        const bool named = english_ || std::string(c.rule) != "status:404";
        EXPECT_EXIT(readPackageVersion(), ::testing::ExitedWithCode(2),
                    named ? "orvel_updater\\.xml" : "");
        platform::setMessageSinkForTests(download_test::captureMessage);
    }
}

TEST_F(ManifestTest, MessagesOfAFailedManifestInEnglish) {
    if (!english_) {
        GTEST_SKIP() << "the translation catalogue gives no English texts yet";
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    platform::setMessageSinkForTests(download_test::printMessage);
    serveManifest("<updater/>");
    EXPECT_EXIT(readPackageVersion(), ::testing::ExitedWithCode(2),
                "Error: Failed to download orvel_updater\\.xml");
    setRules({"config/orvel_updater.xml=status:404"});
    EXPECT_EXIT(readPackageVersion(), ::testing::ExitedWithCode(2),
                "Error: Missing file: orvel_updater\\.xml");
}

}  // namespace
