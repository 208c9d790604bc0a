// Archive extraction: the package unpacked in the installation folder with the real 7-Zip,
// the archive and the batch file gone, and nothing of a hostile package outside the folder.
#include <algorithm>
#include <cstdlib>
#include <list>

#include "install/archive_extraction.h"
#include "install/link_sweep.h"
#include "install/package_check.h"
#include "install_test_support.h"
#include "platform/archiver.h"
#include "platform/process_runner.h"
#include "platform/working_folder.h"

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
// A stand-in in place of 7za.exe answers the listing and keeps a copy of the batch file: the
// package is listed and unpacked by the installation folder's own 7za.exe, as ZIP both times.
TEST_F(ExtractArchiveTest, BatchFileOfTheCommandProcessor) {
    if (!windowsBuild()) {
        GTEST_SKIP() << "the Linux build runs the two steps directly";
    }
    writeZip(installFolder() / "Helmsight.zip", {{"Helmsight.exe", "x"}});
    placeStandin(installFolder(), L"7za.exe");
    writeFile(installFolder() / "7za.exe.listing",
              "--\r\nPath = Helmsight.zip\r\nType = zip\r\n\r\n----------\r\n"
              "Path = Helmsight.exe\r\nFolder = -\r\nSize = 1\r\nAttributes =  -rw-r--r--\r\n\r\n");

    extractArchive(L"Helmsight.zip");

    EXPECT_EQ(readFile(installFolder() / "7za.exe.unzip.bat"),
              "7za x -y -tzip Helmsight.zip\r\ndel /f Helmsight.zip");
    const std::vector<StandinRun> runs = standinLog(installFolder());
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].arguments, "l -slt -tzip -sccUTF-8 " +
                                     platform::wideToUtf8(wide(installFolder() / "Helmsight.zip")));
    EXPECT_EQ(runs[1].arguments, "x -y -tzip Helmsight.zip");
    EXPECT_TRUE(sameFolder(runs[1].workingFolder, installFolder())) << runs[1].workingFolder;
    EXPECT_FALSE(fs::exists(installFolder() / "Helmsight.zip"));
    EXPECT_FALSE(fs::exists(installFolder() / "unzip.bat"));
}

// The test tool that leaves "<its own path>.launched" when started.
void plantMarkerProgram(const fs::path& folder, const std::wstring& name) {
    fs::create_directories(folder);
    fs::copy_file(binFolder() / toPath(L"helmsight-touch-marker" + exeSuffix()),
                  folder / toPath(name), fs::copy_options::overwrite_existing);
}

// Sets an environment variable; putenv keeps the very text it is given, so the texts live as
// long as the process.
void setVariable(const std::string& name, const std::string& value) {
    static std::list<std::string> texts;
    texts.push_back(name + "=" + value);
    putenv(texts.back().data());
}

// The elevated program's copy lies in the user's temporary folder: a cmd.exe planted beside
// it, or in the current folder, must not run the batch file in place of the system's.
TEST_F(ExtractArchiveTest, PlantedCommandProcessorIsNotRun) {
    if (!windowsBuild()) {
        GTEST_SKIP() << "the Linux build runs no command processor";
    }
    const fs::path current = makerFolder() / "current";
    const std::wstring saved = platform::currentFolder();
    plantMarkerProgram(binFolder(), L"cmd.exe");
    plantMarkerProgram(current, L"cmd.exe");
    ASSERT_TRUE(platform::setCurrentFolder(wide(current)));
    writeZip(installFolder() / "Helmsight.zip", {{"Helmsight.exe", "app"}});
    writeArchiver();

    extractArchive(L"Helmsight.zip");

    platform::setCurrentFolder(saved);
    const bool besideRan = fs::exists(binFolder() / "cmd.exe.launched");
    fs::remove(binFolder() / "cmd.exe");
    fs::remove(binFolder() / "cmd.exe.launched");
    EXPECT_FALSE(besideRan) << "the cmd.exe beside the program ran";
    EXPECT_FALSE(fs::exists(current / "cmd.exe.launched")) << "the current folder's cmd.exe ran";
    EXPECT_EQ(readFile(installFolder() / "Helmsight.exe"), "app");
    EXPECT_FALSE(fs::exists(installFolder() / "unzip.bat"));
}

// Run as root, the program must not take 7za from the caller's PATH: not from a folder put
// first on it, nor from the current folder through an empty entry. It takes the system's.
TEST_F(ExtractArchiveTest, PlantedArchiverOnPathIsNotRun) {
    if (windowsBuild()) {
        GTEST_SKIP() << "the Windows build runs the installation folder's 7za.exe";
    }
    const fs::path planted = makerFolder() / "planted";
    const fs::path current = makerFolder() / "current";
    for (const fs::path& folder : {planted, current, installFolder()}) {
        plantMarkerProgram(folder, L"7za");
        plantMarkerProgram(folder, L"7zz");
    }
    const std::string system = "/usr/bin:/bin";
    const std::string paths[] = {platform::wideToUtf8(wide(planted)) + ":" + system, ":" + system};
    const std::string savedPath = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    const std::wstring saved = platform::currentFolder();
    ASSERT_TRUE(platform::setCurrentFolder(wide(current)));
    for (const std::string& path : paths) {
        setVariable("PATH", path);
        writeZip(installFolder() / "Helmsight.zip", {{"Helmsight.exe", "app"}});

        extractArchive(L"Helmsight.zip");

        EXPECT_EQ(readFile(installFolder() / "Helmsight.exe"), "app") << path;
        EXPECT_FALSE(fs::exists(installFolder() / "Helmsight.zip")) << path;
        fs::remove(installFolder() / "Helmsight.exe");
    }
    setVariable("PATH", savedPath);
    platform::setCurrentFolder(saved);
    for (const fs::path& folder : {planted, current, installFolder()}) {
        EXPECT_FALSE(fs::exists(folder / "7za.launched")) << folder;
        EXPECT_FALSE(fs::exists(folder / "7zz.launched")) << folder;
    }
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
        bool safe;
    };
    const Case cases[] = {
        {"Helmsight.exe", true},
        {"drivers/tolvar/setup.inf", true},
        {"drivers\\tolvar\\setup.inf", true},
        {"folder/", true},
        {"..data/file..txt", true},
        {"Gr\xC3\xBC\xC3\x9F"
         "e.txt",
         true},
        {"console.txt", true},
        {"nul_data/com10.txt", true},
        {"lpt/auxiliary", true},
        {"drivers/7za.exe", true},
        {"unzip.bat.txt", true},
        {"./Helmsight.exe", true},
        {"a\xEF\x81\x9C"
         "b.txt",
         true},
        {"../Helmsight.exe", false},
        {"drivers/../../escape.txt", false},
        {"drivers\\..\\..\\escape.txt", false},
        {"..\xEF\x81\x9C"
         "escape.txt",
         false},
        {"..", false},
        {"/etc/escape.txt", false},
        {"\\Windows\\escape.txt", false},
        {"C:\\Windows\\escape.txt", false},
        {"C:escape.txt", false},
        {"Helmsight.exe:stream", false},
        {"", false},
        {"./", false},
        {"CON", false},
        {"nul.txt", false},
        {"drivers/Com1.inf", false},
        {"LPT9", false},
        {"aux .log", false},
        {"prn/readme.txt", false},
        {"com0", false},
        {"COM\xC2\xB9.txt", false},
        {"readme.", false},
        {"readme ", false},
        {"drivers./setup.inf", false},
        {"drivers /setup.inf", false},
        {"7za.exe", false},
        {"7ZA.EXE", false},
        {"./7za.exe", false},
        {".\\7za.exe", false},
        {"unzip.bat", false},
        {"UnZip.Bat", false},
        {"sub/../unzip.bat", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(entryNameIsSafe(c.name), c.safe) << c.name;
    }
}

// 7-Zip's technical listing as both builds' archivers print it (LF or CR LF line ends).
TEST(PackageCheckTest, ParsesTheListing) {
    const std::string head =
        "\n7-Zip 26.02\n\nListing archive: p.zip\n\n--\nPath = p.zip\nType = zip\n\n----------\n";
    auto block = [](const std::string& path, const std::string& attributes,
                    const std::string& more = "") {
        return "Path = " + path + "\nFolder = " + (attributes[0] == 'D' ? "+" : "-") +
               "\nSize = 3\nAttributes = " + attributes + "\n" + more + "\n";
    };
    struct Case {
        const char* what;
        std::string attributes;
        std::string more;
        bool link;
    };
    const Case cases[] = {
        {"Unix file", " -rw-r--r--", "", false},
        {"Windows file", "A", "", false},
        {"Windows file, more bits", "RHSA 00040000", "", false},
        {"Unix folder", "D drwxr-xr-x", "", false},
        {"set-user-id", " -rwsr-Sr-T", "", false},
        {"no attributes", "", "", false},
        {"Unix link", " lrwxrwxrwx", "", true},
        {"reparse point", "AL", "", true},
        {"Unix link mode from a FAT host", "vXPUMB 81A40000", "", true},
        {"Unix link mode, no bits named", "A A1FF0000", "", true},
        {"named link", "A", "Symbolic Link = ../outside\n", true},
        {"hard link", "A", "Hard Link = other\n", true},
        {"NTFS link", "A", "Link = C:\\Windows\n", true},
    };
    for (const Case& c : cases) {
        std::vector<PackageEntry> entries;
        ASSERT_TRUE(parseArchiveListing(
            head + block("a.txt", " -rw-r--r--") + block("b c ", c.attributes, c.more), entries))
            << c.what;
        ASSERT_EQ(entries.size(), 2u) << c.what;
        EXPECT_EQ(entries[0].path, "a.txt");
        EXPECT_FALSE(entries[0].link);
        EXPECT_EQ(entries[1].path, "b c ") << "a name keeps its final blank";
        EXPECT_EQ(entries[1].link, c.link) << c.what;
        EXPECT_EQ(entries[1].folder, c.attributes[0] == 'D') << c.what;
    }

    std::string windows = head + block("sub\\b.txt", "A") + block("sub", "D");
    for (size_t at = windows.find('\n'); at != std::string::npos; at = windows.find('\n', at + 2)) {
        windows.insert(at, "\r");
    }
    std::vector<PackageEntry> entries;
    ASSERT_TRUE(parseArchiveListing(windows, entries));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].path, "sub\\b.txt");
    EXPECT_TRUE(entries[1].folder);

    const std::string refused[] = {
        "",
        head,
        "Path = a.txt\nFolder = -\nAttributes = A\n",
        head + block("a.txt", "A") + "Errors: 1\n",
        head + block("a.txt", "A") + "stray text\n",
        head + "Path = a.txt\nPath = b.txt\nFolder = -\nAttributes = A\n",
        head + "Path = a.txt\nAttributes = A\n",
        head + "Folder = -\nAttributes = A\n",
        head + "Path = a.txt\nFolder = -\n",
        head + "Path = a.txt\nFolder = ?\nAttributes = A\n",
        head + block("a.txt", "Q"),
        head + block("a.txt", "A  -rw-r--r--"),
        head + block("a.txt", "A 1234"),
        head + block("a.txt", " -rw-r--r-x-"),
        head + block("a.txt", " qrw-r--r--"),
    };
    for (const std::string& listing : refused) {
        EXPECT_FALSE(parseArchiveListing(listing, entries)) << listing;
    }
}

// The real archiver's listing of a package 7-Zip made: every entry, folders marked, nothing
// a link, and names in UTF-8 whichever way the archive stores them.
TEST_F(ExtractArchiveTest, ListsA7ZipArchiveWithTheRealArchiver) {
    writeFile(scratch_ / "content" / "a.txt", "a");
    writeFile(scratch_ / "content" / "sub" / "b.txt", "b");
    packFolder(scratch_ / "content", scratch_ / "p.zip", scratch_ / "tool");
    writeArchiver();
    const std::wstring archiver = platform::archiverPath(profile().korvane.installFolder);
    ASSERT_FALSE(archiver.empty());

    const platform::ProgramOutput listing = platform::runProgramForOutput(
        archiver,
        L"\"" + archiver + L"\" l -slt -tzip -sccUTF-8 \"" + wide(scratch_ / "p.zip") + L"\"",
        1 << 20);
    ASSERT_TRUE(listing.completed);
    EXPECT_EQ(listing.exitCode, 0u);
    std::vector<PackageEntry> entries;
    ASSERT_TRUE(parseArchiveListing(listing.output, entries)) << listing.output;
    std::vector<std::string> names;
    for (const PackageEntry& entry : entries) {
        std::string name = entry.path;
        std::replace(name.begin(), name.end(), '\\', '/');
        names.push_back(name + (entry.folder ? "/" : ""));
        EXPECT_FALSE(entry.link) << entry.path;
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "sub/", "sub/b.txt"}));
    EXPECT_TRUE(packageIsSafeToUnpack(archiver, wide(scratch_ / "p.zip")));

    writeFile(scratch_ / "not.zip", "PK but not an archive at all");
    EXPECT_FALSE(packageIsSafeToUnpack(archiver, wide(scratch_ / "not.zip")));
    EXPECT_FALSE(packageIsSafeToUnpack(archiver, wide(scratch_ / "missing.zip")));
    EXPECT_FALSE(packageIsSafeToUnpack(archiver + L".missing", wide(scratch_ / "p.zip")));
}

// Names beyond ASCII, stored with the UTF-8 flag or as a Unicode path extra entry, pass the
// check and unpack under those names.
TEST_F(ExtractArchiveTest, NonAsciiNamesAreUnpacked) {
    const std::string flagged =
        "Gr\xC3\xBC\xC3\x9F"
        "e.txt";
    const std::string extra =
        "Ma\xC3\x9F"
        "e/\xCE\xB1.txt";
    writeZip(installFolder() / "Helmsight.zip", {{"Helmsight.exe", "app"},
                                                 {flagged, "u", false, "", ZipHost::unix, true},
                                                 {"Masse/a.txt", "x", false, extra}});
    writeArchiver();

    extractArchive(L"Helmsight.zip");

    EXPECT_EQ(readFile(installFolder() / "Helmsight.exe"), "app");
    EXPECT_EQ(readFile(installFolder() / toPath(platform::utf8ToWide(flagged))), "u");
    EXPECT_EQ(readFile(installFolder() / toPath(platform::utf8ToWide(extra))), "x");
    EXPECT_FALSE(fs::exists(installFolder() / "Helmsight.zip"));
}

// Hostile packages: entries climbing out with "..", absolute paths, links out of the folder
// (from a Unix host or a FAT one), a harmless name whose Unicode path entry (which 7-Zip
// prefers) climbs out, Windows device names, names ending in a dot or a blank, the folder's
// own archiver and batch file, and ends of archive that readers disagree about. None of them
// is unpacked, nothing appears beside the installation folder, and the folder holds nothing
// but the archiver afterwards: no replaced 7za.exe, no device-named file.
TEST_F(ExtractArchiveTest, HostilePackagesAreNotUnpacked) {
    const fs::path outside = makerFolder() / "outside";
    fs::create_directories(outside);
    const std::string outsideText = platform::wideToUtf8(wide(outside));
    // Were this batch file to replace the running one, the command processor would read on
    // from the replacement at the offset of the second line.
    const std::string batch = std::string(40, ' ') + "\r\necho x> ..\\escape.txt\r\n";
    struct Package {
        const char* what;
        std::vector<ZipItem> items;
        ZipEnd layout;
    };
    const ZipItem app{"Helmsight.exe", "app"};
    const Package packages[] = {
        {"parent", {app, {"../escape.txt", "x"}}, ZipEnd::truthful},
        {"parent inside", {app, {"drivers/../../escape.txt", "x"}}, ZipEnd::truthful},
        {"parent, backslash", {app, {"..\\escape.txt", "x"}}, ZipEnd::truthful},
        {"absolute", {app, {outsideText + "/escape.txt", "x"}}, ZipEnd::truthful},
        {"link", {app, {"link", outsideText, true}, {"link/escape.txt", "x"}}, ZipEnd::truthful},
        {"relative link",
         {app, {"rel", "../outside", true}, {"rel/escape.txt", "x"}},
         ZipEnd::truthful},
        {"link from a FAT host",
         {app, {"rel", "../outside", true, "", ZipHost::fat}, {"rel/escape.txt", "x"}},
         ZipEnd::truthful},
        {"Unicode path", {app, {"escape.txt", "x", false, "../escape.txt"}}, ZipEnd::truthful},
        {"device", {app, {"CON", "x"}}, ZipEnd::truthful},
        {"device with extension", {app, {"nul.txt", "x"}}, ZipEnd::truthful},
        {"device in a folder", {app, {"drivers/Com1.inf", "x"}}, ZipEnd::truthful},
        {"trailing dot", {app, {"7za.exe.", "x"}}, ZipEnd::truthful},
        {"trailing blank", {app, {"unzip.bat ", batch}}, ZipEnd::truthful},
        {"archiver", {app, {"7za.exe", "x"}}, ZipEnd::truthful},
        {"archiver, other case", {app, {"./7ZA.exe", "x"}}, ZipEnd::truthful},
        {"batch file", {app, {"unzip.bat", batch}}, ZipEnd::truthful},
        {"more records than counted", {app, {"7za.exe", "x"}}, ZipEnd::countsOnlyTheFirstRecord},
        {"ZIP64 end disagreeing",
         {app, {"unzip.bat", batch}},
         ZipEnd::zip64ListsOnlyTheFirstRecord},
    };
    for (const Package& package : packages) {
        writeZip(installFolder() / "Helmsight.zip", package.items, package.layout);
        writeArchiver();
        const std::string archiver = readFile(installFolder() / "7za.exe");

        extractArchive(L"Helmsight.zip");

        EXPECT_FALSE(fs::exists(installFolder() / "Helmsight.exe")) << package.what;
        EXPECT_FALSE(fs::exists(installFolder() / "Helmsight.zip")) << package.what;
        EXPECT_FALSE(fs::exists(makerFolder() / "escape.txt")) << package.what;
        EXPECT_FALSE(fs::exists(outside / "escape.txt")) << package.what;
        EXPECT_TRUE(fs::is_empty(outside)) << package.what;
        EXPECT_EQ(readFile(installFolder() / "7za.exe"), archiver) << package.what;
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(installFolder())) {
            left.push_back(entry.path().filename().string());
        }
        EXPECT_EQ(left, (std::vector<std::string>(windowsBuild() ? 1 : 0, "7za.exe")))
            << package.what;
        for (const std::string& name : left) {
            if (name != "7za.exe" || !windowsBuild()) {
                removeTree(installFolder() / name);
            }
        }
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
