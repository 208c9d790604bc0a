// The built-in product profile.
#include "core/product_profile.h"

#include "platform/folders.h"

namespace {

ProductProfile theProfile;

std::wstring fileNameOf(const std::wstring& path) {
    const size_t last = path.rfind(platform::kPathSeparator);
    return last == std::wstring::npos ? path : path.substr(last + 1);
}

}  // namespace

const ProductProfile& profile() {
    return theProfile;
}

std::wstring systemFolder() {
    return platform::systemFolder();
}

void fillProductProfile(const std::wstring& baseUrl) {
    constexpr wchar_t sep = platform::kPathSeparator;
    const std::wstring programFiles = platform::programFilesX86Folder();
    ProductProfile& p = theProfile;
    p.setupFilePath = platform::ownModulePath();
    p.setupFileName = fileNameOf(p.setupFilePath);

    BrandProfile& k = p.korvane;
    k.downloadFolderUrl = baseUrl + L"kvrHelmsight/";
    k.productName = L"Helmsight";
    k.installerTitle = L"Helmsight Installer";
    k.productFolderName = std::wstring(L"SSD Helmsight") + sep;
    k.releaseNotesFileName = L"KorvaneHelmsightReleaseNotes.pdf";
    k.makerName = L"Korvane";
    k.entryName = L"Korvane SSD Helmsight";
    k.applicationFileName = L"Helmsight.exe";
    k.alternateApplicationFileName = L"KorvaneSSDHelmsight.exe";
    k.packageFileName = L"Helmsight.zip";
    k.alternatePackageFileName = L"KorvaneHelmsight.zip";
    p.manifestFileName = L"orvel_updater.xml";
    p.applicationFolderUrlPart = L"application/";

    k.makerFolder = programFiles + sep + L"Korvane" + sep;
    k.installFolder = k.makerFolder + k.productFolderName;

    p.logoResourceId = 3001;
    p.logoRect = LogoRect{15, 270, 146, 22};

    BrandProfile& v = p.vantrel;
    v.makerName = L"Vantrel";
    v.entryName = L"Vantrel SSD Helmsight";
    v.alternateApplicationFileName = L"VantrelSSDHelmsight.exe";
}
