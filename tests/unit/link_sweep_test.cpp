// The sweep after unpacking: links below the installation folder that lead outside it go,
// links that stay inside stay, no link is entered, and a folder the walk cannot open by its
// full path does not end the walk.
#include <string>
#include <vector>

#include "install/link_sweep.h"
#include "install_test_support.h"
#include "link_test_support.h"
#include "platform/file_tree.h"

namespace {

using namespace installtest;
using linktest::makeLink;

class LinkSweepTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fillProductProfile(kDefaultBaseUrl);
        removeInstallationLeftovers();
        writeFile(outside() / "secret.txt", "s");
        writeFile(installFolder() / "data" / "inner.txt", "i");
        writeFile(installFolder() / "data" / "sub" / "deep.txt", "d");
    }
    void TearDown() override {
        platform::removeTree(wide(installFolder()));
        removeInstallationLeftovers();
    }

    static fs::path outside() { return makerFolder() / "outside"; }
};

TEST_F(LinkSweepTest, LinksLeadingOutsideGoAndLinksInsideStay) {
    struct Case {
        fs::path link;
        fs::path target;
        bool removed;
    };
    const fs::path data = installFolder() / "data";
    const std::vector<Case> cases = {
        {installFolder() / "out", outside(), true},
        {data / "secret", outside() / "secret.txt", true},
        {data / "up", fs::path("..") / ".." / "outside" / "secret.txt", true},
        {data / "sub" / "root", installFolder().root_path(), true},
        {data / "sub" / "maker", fs::path("..") / ".." / "..", true},
        // Inside by its text, outside once the link it passes through is followed.
        {data / "through", fs::path("..") / "out" / "secret.txt", true},
        {data / "in", fs::path("inner.txt"), false},
        {data / "sub" / "back", fs::path("..") / "inner.txt", false},
        {installFolder() / "data-link", data, false},
        {data / "sub" / "absolute", data / "inner.txt", false},
        {data / "missing", fs::path("not-there.txt"), false},
    };
    for (const Case& c : cases) {
        if (!makeLink(c.target, c.link)) {
            GTEST_SKIP() << "no symbolic links here";
        }
    }

    removeLinksLeadingOutside(installFolder());

    for (const Case& c : cases) {
        EXPECT_EQ(fs::exists(fs::symlink_status(c.link)), !c.removed) << c.link;
    }
    EXPECT_EQ(readFile(outside() / "secret.txt"), "s");
    EXPECT_EQ(readFile(data / "inner.txt"), "i");
    EXPECT_EQ(readFile(data / "sub" / "deep.txt"), "d");
}

// A folder nested deeper than a full path can name cannot be opened by that path; the walk
// reaches it all the same, and the deletion of the tree too.
TEST_F(LinkSweepTest, FolderBeyondTheLongestPathDoesNotEndTheSweep) {
    if (windowsBuild()) {
        GTEST_SKIP() << "Wine makes no links for this build to find";
    }
    const fs::path start = fs::current_path();
    fs::current_path(installFolder() / "data");
    const std::string segment(200, 'd');
    for (int level = 0; level < 25; ++level) {
        fs::create_directory(segment);
        fs::current_path(segment);
    }
    const bool made = makeLink(outside(), "escape") && makeLink("inner", "inside");
    fs::current_path(start);
    ASSERT_TRUE(made);

    removeLinksLeadingOutside(installFolder());

    fs::current_path(installFolder() / "data");
    for (int level = 0; level < 25; ++level) {
        fs::current_path(segment);
    }
    const bool escapeLeft = fs::exists(fs::symlink_status("escape"));
    fs::current_path(start);
    EXPECT_FALSE(escapeLeft);
    EXPECT_EQ(readFile(outside() / "secret.txt"), "s");

    EXPECT_TRUE(platform::removeTree(wide(installFolder())));
    EXPECT_FALSE(fs::exists(installFolder()));
}

}  // namespace
