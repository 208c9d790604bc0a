// Archive extraction: the package unpacked in the installation folder with the real 7-Zip,
// the archive and the batch file gone, and nothing of a hostile package outside the folder.
#include <algorithm>

#include "install/archive_extraction.h"
#include "install/link_sweep.h"
#include "install/package_check.h"
#include "install_test_support.h"

namespace {

using namespace installtest;

class ExtractArchiveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fillProductProfile(kDefaultBaseUrl);
        removeInstallationLeftovers();
        fs::create_directories(installFolder());
        scratch_ = makerFolder() / "scratch";
    }
    void TearDown() override { removeInstallationLeftovers(); }

    // The archiver in place as the install worker leaves it before unpacking.
    void writeArchiver() const { extractResourceToFile(2001, 2000, L"7za.exe"); }

    fs::path scratch_;
};

TEST_F(ExtractArchiveTest, PackageIsUnpackedAndRemoved) {
    const fs::path content = scratch_ / "content";
    writeFile(content / "Helmsight.exe", "application");
    writeFile(content / "drivers" / "readme.txt", "nested");
    writeFile(content / "settings.ini", "new");
    packFolder(content, installFolder() / "Helmsight.zip", scratch_ / "tool");
    writeFile(installFolder() / "settings.ini", "old settings, replaced without a question");
    writeArchiver();

    extractArchive(L"Helmsight.zip");

    EXPECT_EQ(readFile(installFolder() / "Helmsight.exe"), "application");
    EXPECT_EQ(readFile(installFolder() / "drivers" / "readme.txt"), "nested");
    EXPECT_EQ(readFile(installFolder() / "settings.ini"), "new");
    EXPECT_FALSE(fs::exists(installFolder() / "Helmsight.zip"));
    EXPECT_FALSE(fs::exists(installFolder() / "unzip.bat"));
    EXPECT_EQ(fs::exists(installFolder() / "7za.exe"), windowsBuild()) << "the archiver stays";
}

TEST_F(ExtractArchiveTest, AlternatePackageName) {
    const fs::path content = scratch_ / "content";
    writeFile(content / "KorvaneSSDHelmsight.exe", "alternate");
    packFolder(content, installFolder() / "KorvaneHelmsight.zip", scratch_ / "tool");
    writeArchiver();

    extractArchive(L"KorvaneHelmsight.zip");

    EXPECT_EQ(readFile(installFolder() / "KorvaneSSDHelmsight.exe"), "alternate");
    EXPECT_FALSE(fs::exists(installFolder() / "KorvaneHelmsight.zip"));
}

// The batch file the command processor runs: two lines, CR LF between them, none at the end.
// A stand-in in place of 7za.exe keeps a copy of it.
TEST_F(ExtractArchiveTest, BatchFileOfTheCommandProcessor) {
    if (!windowsBuild()) {
        GTEST_SKIP() << "the Linux build runs the two steps directly";
    }
    writeZip(installFolder() / "Helmsight.zip", {{"Helmsight.exe", "x"}});
    placeStandin(installFolder(), L"7za.exe");

    extractArchive(L"Helmsight.zip");

    EXPECT_EQ(readFile(installFolder() / "7za.exe.unzip.bat"),
              "7za x -y Helmsight.zip\r\ndel /f Helmsight.zip");
    const std::vector<StandinRun> runs = standinLog(installFolder());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].arguments, "x -y Helmsight.zip");
    EXPECT_TRUE(sameFolder(runs[0].workingFolder, installFolder())) << runs[0].workingFolder;
    EXPECT_FALSE(fs::exists(installFolder() / "Helmsight.zip"));
    EXPECT_FALSE(fs::exists(installFolder() / "unzip.bat"));
}

TEST_F(ExtractArchiveTest, WithoutTheArchiverTheArchiveIsStillDeleted) {
    if (!windowsBuild()) {
        GTEST_SKIP() << "the Linux build's archiver is the distribution's";
    }
    writeZip(installFolder() / "Helmsight.zip", {{"Helmsight.exe", "x"}});
    fs::remove(installFolder() / "7za.exe");

    extractArchive(L"Helmsight.zip");

    EXPECT_FALSE(fs::exists(installFolder() / "Helmsight.exe"));
    EXPECT_FALSE(fs::exists(installFolder() / "Helmsight.zip"));
    EXPECT_FALSE(fs::exists(installFolder() / "unzip.bat"));
}

TEST_F(ExtractArchiveTest, MissingPackageLeavesTheFolderAsItWas) {
    writeArchiver();
    extractArchive(L"Helmsight.zip");
    EXPECT_FALSE(fs::exists(installFolder() / "unzip.bat"));
    EXPECT_FALSE(fs::exists(installFolder() / "Helmsight.exe"));
}

TEST(PackageCheckTest, EntryNames) {
    struct Case {
        const char* name;
        bool inside;
    };
    const Case cases[] = {
        {"Helmsight.exe", true},
        {"drivers/tolvar/setup.inf", true},
        {"drivers\\tolvar\\setup.inf", true},
        {"folder/", true},
        {"..data/file..txt", true},
        {"../Helmsight.exe", false},
        {"drivers/../../escape.txt", false},
        {"drivers\\..\\..\\escape.txt", false},
        {"..", false},
        {"/etc/escape.txt", false},
        {"\\Windows\\escape.txt", false},
        {"C:\\Windows\\escape.txt", false},
        {"C:escape.txt", false},
        {"Helmsight.exe:stream", false},
        {"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(entryNameStaysInside(c.name), c.inside) << c.name;
    }
}

TEST(PackageCheckTest, ReadsTheCentralDirectoryOfA7ZipArchive) {
    fillProductProfile(kDefaultBaseUrl);
    const fs::path scratch = makerFolder() / "zip reader";
    writeFile(scratch / "content" / "a.txt", "a");
    writeFile(scratch / "content" / "sub" / "b.txt", "b");
    packFolder(scratch / "content", scratch / "p.zip", scratch / "tool");

    std::vector<ZipEntry> entries;
    ASSERT_TRUE(readZipEntries(scratch / "p.zip", entries));
    std::vector<std::string> names;
    for (const ZipEntry& entry : entries) {
        names.push_back(entry.name);
        EXPECT_FALSE(entry.link);
    }
    std::sort(names.begin(), names.end());
    for (std::string& name : names) {
        std::replace(name.begin(), name.end(), '\\', '/');
    }
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "sub/", "sub/b.txt"}));
    EXPECT_TRUE(packageIsSafeToUnpack(scratch / "p.zip"));

    writeFile(scratch / "not.zip", "PK but not an archive at all");
    EXPECT_FALSE(readZipEntries(scratch / "not.zip", entries));
    EXPECT_FALSE(packageIsSafeToUnpack(scratch / "not.zip"));
    EXPECT_FALSE(packageIsSafeToUnpack(scratch / "missing.zip"));
    removeTree(makerFolder());
}

// Hostile packages: entries climbing out with "..", absolute paths, links out of the folder,
// and a harmless name whose Unicode path entry (which 7-Zip prefers) climbs out. None of
// them is unpacked, and nothing appears beside the installation folder.
TEST_F(ExtractArchiveTest, HostilePackagesAreNotUnpacked) {
    const fs::path outside = makerFolder() / "outside";
    fs::create_directories(outside);
    const std::string outsideText = platform::wideToUtf8(wide(outside));
    const std::vector<std::vector<ZipItem>> packages = {
        {{"Helmsight.exe", "app"}, {"../escape.txt", "x"}},
        {{"Helmsight.exe", "app"}, {"drivers/../../escape.txt", "x"}},
        {{"Helmsight.exe", "app"}, {"..\\escape.txt", "x"}},
        {{"Helmsight.exe", "app"}, {outsideText + "/escape.txt", "x"}},
        {{"Helmsight.exe", "app"}, {"link", outsideText, true}, {"link/escape.txt", "x"}},
        {{"Helmsight.exe", "app"}, {"rel", "../outside", true}, {"rel/escape.txt", "x"}},
        {{"Helmsight.exe", "app"}, {"escape.txt", "x", false, "../escape.txt"}},
    };
    for (size_t i = 0; i < packages.size(); ++i) {
        writeZip(installFolder() / "Helmsight.zip", packages[i]);
        writeArchiver();

        extractArchive(L"Helmsight.zip");

        EXPECT_FALSE(fs::exists(installFolder() / "Helmsight.exe")) << "package " << i;
        EXPECT_FALSE(fs::exists(installFolder() / "Helmsight.zip")) << "package " << i;
        EXPECT_FALSE(fs::exists(makerFolder() / "escape.txt")) << "package " << i;
        EXPECT_FALSE(fs::exists(outside / "escape.txt")) << "package " << i;
        EXPECT_TRUE(fs::is_empty(outside)) << "package " << i;
    }
}

// Links that lead out of the folder are removed after unpacking, whoever made them.
TEST_F(ExtractArchiveTest, LinksLeadingOutsideAreRemoved) {
    const fs::path outside = makerFolder() / "outside";
    writeFile(outside / "secret.txt", "s");
    writeFile(installFolder() / "data" / "inner.txt", "i");
    std::error_code error;
    fs::create_directory_symlink(outside, installFolder() / "out", error);
    if (error) {
        GTEST_SKIP() << "no symbolic links here: " << error.message();
    }
    fs::create_symlink(fs::path("..") / ".." / "outside" / "secret.txt",
                       installFolder() / "data" / "up", error);
    fs::create_symlink(fs::path("inner.txt"), installFolder() / "data" / "in", error);

    removeLinksLeadingOutside(installFolder());

    EXPECT_FALSE(fs::exists(fs::symlink_status(installFolder() / "out")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(installFolder() / "data" / "up")));
    EXPECT_TRUE(fs::is_symlink(installFolder() / "data" / "in"));
    EXPECT_EQ(readFile(outside / "secret.txt"), "s");
}

}  // namespace
