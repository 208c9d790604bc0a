// The program's resources: carried with their numeric types and ids, and written out
// byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "core/product_profile.h"
#include "install/resource_file.h"
#include "platform/files.h"
#include "platform/resources.h"
#include "platform/text.h"

namespace {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string resourceBytes(uint16_t type, uint16_t id) {
    platform::ResourceInfo info = platform::findResource(type, id);
    if (info == nullptr) {
        return std::string();
    }
    platform::ResourceData data = platform::loadResource(info);
    const char* bytes = static_cast<const char*>(platform::lockResource(data));
    std::string copy(bytes, platform::sizeofResource(info));
    platform::freeResource(data);
    return copy;
}

class ResourceFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fillProductProfile(kDefaultBaseUrl);
        folder_ = platform::toPath(profile().korvane.installFolder);
        std::filesystem::create_directories(folder_);
    }
    std::filesystem::path folder_;
};

TEST_F(ResourceFileTest, TranslationFilesAreCarriedUnderTheirIds) {
    const char* const languages[] = {"cs-CZ", "da-DK", "de-DE", "en-US", "es-ES", "fr-FR",
                                     "it-IT", "ja-JP", "ko-KR", "nl-NL", "pl-PL", "pt-PT",
                                     "ru-RU", "sv-SE", "tr-TR", "zh-CN", "zh-TW"};
    uint16_t id = 1001;
    for (const char* language : languages) {
        const std::string source = readFile(std::string(HELMSIGHT_TEST_SOURCE_DIR) +
                                            "/resources/translations/" + language + ".json");
        ASSERT_FALSE(source.empty()) << language;
        EXPECT_EQ(resourceBytes(1000, id), source) << "resource " << id << " is " << language;
        ++id;
    }
    EXPECT_EQ(platform::findResource(1000, 1018), nullptr);
}

TEST_F(ResourceFileTest, LogoAndWindowClassName) {
    const std::string logo = resourceBytes(3000, 3001);
    EXPECT_EQ(logo, readFile(std::string(HELMSIGHT_TEST_SOURCE_DIR) + "/resources/logo.png"));
    EXPECT_EQ(logo.substr(1, 3), "PNG");
    EXPECT_EQ(platform::loadResourceString(109, 100), L"HelmsightInstallerWindow");
}

TEST_F(ResourceFileTest, ExtractionWritesTheResourceByteForByte) {
    const std::filesystem::path target = folder_ / "logo-copy.png";
    std::ofstream(target, std::ios::binary) << std::string(100000, 'x');  // longer: truncated

    extractResourceToFile(3001, 3000, L"logo-copy.png");

    EXPECT_EQ(readFile(target), resourceBytes(3000, 3001));
}

TEST_F(ResourceFileTest, MissingResourceWritesNothing) {
    extractResourceToFile(4242, 2000, L"nothing.bin");
    EXPECT_FALSE(std::filesystem::exists(folder_ / "nothing.bin"));
}

// The Windows build carries 7-Zip's console archiver; it must unpack what it packs.
TEST_F(ResourceFileTest, ArchiverResourceIsAWorkingConsoleProgram) {
    if (platform::findResource(2000, 2001) == nullptr) {
        GTEST_SKIP() << "this build uses the distribution's 7-Zip";
    }
    std::ofstream(folder_ / "7za.exe", std::ios::binary) << "stale";
    extractResourceToFile(2001, 2000, L"7za.exe");
    ASSERT_EQ(readFile(folder_ / "7za.exe"), resourceBytes(2000, 2001));

    const std::string folder = platform::wideToUtf8(profile().korvane.installFolder);
    std::filesystem::remove_all(folder_ / "out");
    std::ofstream(folder_ / "payload.txt", std::ios::binary) << "Helmsight payload\n";
    std::filesystem::remove(folder_ / "t.zip");
    const std::string archiver = "\"" + folder + "7za.exe\"";
    const std::string pack =
        "\"" + archiver + " a -tzip \"" + folder + "t.zip\" \"" + folder + "payload.txt\" >NUL\"";
    ASSERT_EQ(std::system(pack.c_str()), 0);
    const std::string unpack =
        "\"" + archiver + " x -y \"-o" + folder + "out\" \"" + folder + "t.zip\" >NUL\"";
    ASSERT_EQ(std::system(unpack.c_str()), 0);
    EXPECT_EQ(readFile(folder_ / "out" / "payload.txt"), "Helmsight payload\n");
}

}  // namespace
