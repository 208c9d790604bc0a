// The product profile: names, derived URLs and folders.
#include <gtest/gtest.h>

#include "core/product_profile.h"
#include "platform/folders.h"

namespace {

constexpr wchar_t sep = platform::kPathSeparator;

TEST(ProductProfileTest, DownloadUrlsFollowTheBaseUrl) {
    fillProductProfile(L"https://example.test/base/");
    const BrandProfile& k = profile().korvane;
    EXPECT_EQ(k.downloadFolderUrl, L"https://example.test/base/kvrHelmsight/");
    EXPECT_EQ(k.downloadFolderUrl + k.releaseNotesFileName,
              L"https://example.test/base/kvrHelmsight/KorvaneHelmsightReleaseNotes.pdf");

    fillProductProfile(L"http://127.0.0.1:8080");  // no separator is added
    EXPECT_EQ(profile().korvane.downloadFolderUrl, L"http://127.0.0.1:8080kvrHelmsight/");
}

TEST(ProductProfileTest, InstallFolderLiesBelowTheProgramFolder) {
    fillProductProfile(kDefaultBaseUrl);
    const BrandProfile& k = profile().korvane;
    const std::wstring programFiles = platform::programFilesX86Folder();
    ASSERT_FALSE(programFiles.empty());
    EXPECT_EQ(k.makerFolder, programFiles + sep + L"Korvane" + sep);
    EXPECT_EQ(k.productFolderName, std::wstring(L"SSD Helmsight") + sep);
    EXPECT_EQ(k.installFolder, programFiles + sep + L"Korvane" + sep + L"SSD Helmsight" + sep);
    EXPECT_EQ(k.installFolder.find(std::wstring(1, sep) + sep), std::wstring::npos);
}

TEST(ProductProfileTest, SetupFileNameIsTheLastPathComponent) {
    fillProductProfile(kDefaultBaseUrl);
    const ProductProfile& p = profile();
    ASSERT_FALSE(p.setupFilePath.empty());
    EXPECT_EQ(p.setupFilePath, platform::ownModulePath());
    EXPECT_EQ(p.setupFilePath.substr(p.setupFilePath.size() - p.setupFileName.size()),
              p.setupFileName);
    EXPECT_EQ(p.setupFileName.find(sep), std::wstring::npos);
    EXPECT_NE(p.setupFileName.find(L"helmsight-unit-tests"), std::wstring::npos);
}

TEST(ProductProfileTest, FixedNames) {
    fillProductProfile(kDefaultBaseUrl);
    const ProductProfile& p = profile();
    EXPECT_EQ(p.korvane.productName, L"Helmsight");
    EXPECT_EQ(p.korvane.installerTitle, L"Helmsight Installer");
    EXPECT_EQ(p.korvane.entryName, L"Korvane SSD Helmsight");
    EXPECT_EQ(p.korvane.applicationFileName, L"Helmsight.exe");
    EXPECT_EQ(p.korvane.alternateApplicationFileName, L"KorvaneSSDHelmsight.exe");
    EXPECT_EQ(p.korvane.packageFileName, L"Helmsight.zip");
    EXPECT_EQ(p.korvane.alternatePackageFileName, L"KorvaneHelmsight.zip");
    EXPECT_EQ(p.vantrel.makerName, L"Vantrel");
    EXPECT_EQ(p.vantrel.entryName, L"Vantrel SSD Helmsight");
    EXPECT_EQ(p.vantrel.alternateApplicationFileName, L"VantrelSSDHelmsight.exe");
    EXPECT_EQ(p.manifestFileName, L"orvel_updater.xml");
    EXPECT_EQ(p.applicationFolderUrlPart, L"application/");
    EXPECT_EQ(p.logoResourceId, 3001);
    EXPECT_EQ(p.logoRect.x, 15);
    EXPECT_EQ(p.logoRect.y, 270);
    EXPECT_EQ(p.logoRect.width, 146);
    EXPECT_EQ(p.logoRect.height, 22);
    const std::wstring base = kDefaultBaseUrl;
    EXPECT_EQ(base.rfind(L"https://", 0), 0u);
    EXPECT_EQ(base.back(), L'/');
}

TEST(ProductProfileTest, SystemFolderHasNoTrailingSeparator) {
    const std::wstring folder = systemFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), sep);
}

}  // namespace
