// ProductProfile: every product, maker, file, folder and address name the setup program uses.
// Korvane names are used for everything installed; Vantrel names only to recognise and remove
// an installation made under that brand. Filled once at start, read-only afterwards.
#pragma once

#include <cstdint>
#include <string>

struct BrandProfile {
    std::wstring productName;
    std::wstring installerTitle;
    std::wstring downloadFolderUrl;  // ends with "/"
    std::wstring makerFolder;        // ends with the path separator
    std::wstring productFolderName;  // ends with the path separator
    std::wstring installFolder;      // ends with the path separator
    std::wstring releaseNotesFileName;
    std::wstring makerName;
    std::wstring entryName;
    std::wstring applicationFileName;
    std::wstring alternateApplicationFileName;
    std::wstring packageFileName;
    std::wstring alternatePackageFileName;
};

struct LogoRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

struct ProductProfile {
    BrandProfile korvane;
    BrandProfile vantrel;  // only makerName, entryName, alternateApplicationFileName are set
    std::wstring manifestFileName;
    std::wstring applicationFolderUrlPart;
    std::wstring setupFilePath;
    std::wstring setupFileName;
    int32_t logoResourceId = 0;
    LogoRect logoRect;
};

// The built-in download server; "-test" replaces it.
inline const wchar_t* const kDefaultBaseUrl = L"https://download.korvane.com/";

// Fills every field; called once, before any read. `baseUrl` is concatenated unchanged.
void fillProductProfile(const std::wstring& baseUrl);

// The one profile of the process (empty until filled).
const ProductProfile& profile();

// The System folder, without a trailing separator; system libraries are loaded from it.
std::wstring systemFolder();
