// The installation record: the product key and permanent key of each maker and the uninstall
// entry of each brand below HKEY_LOCAL_MACHINE, and two start-up values below
// HKEY_CURRENT_USER that only the cleanup touches. Writes go to the Korvane keys; reads also
// look at the Vantrel keys and at the legacy names.
#include "registry/install_record.h"

#include <initializer_list>

#include "core/product_profile.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "registry/registry_access.h"

namespace {

InstallRecord theRecord;

const wchar_t* const kRootPrefix = L"SOFTWARE\\";
const wchar_t* const kUninstallBranch = L"\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const wchar_t* const kStartupBranch = L"\\Microsoft\\Windows\\CurrentVersion\\RunOnce\\";
const wchar_t* const kPermanentSuffix = L"\\Permanent";
const wchar_t* const kLegacyMakerName = L"KVR\\";
const wchar_t* const kLegacyEntryName = L"KVR SSD Helmsight";

const wchar_t* const kIsInstalled = L"IsInstalled";
const wchar_t* const kInstallPath = L"InstallPath";
const wchar_t* const kCurrentCulture = L"CurrentCulture";
const wchar_t* const kStartMinimized = L"StartMinimized";
const wchar_t* const kCurrentVersion = L"CurrentVersion";
const wchar_t* const kIsCachePolicy = L"IsCachePolicy";
const wchar_t* const kDisplayVersion = L"DisplayVersion";
const wchar_t* const kDisplayName = L"DisplayName";
const wchar_t* const kDisplayIcon = L"DisplayIcon";
const wchar_t* const kInstallSource = L"InstallSource";
const wchar_t* const kPublisher = L"Publisher";
const wchar_t* const kUninstallString = L"UninstallString";
const wchar_t* const kQZ4100Detected = L"QZ4100Detected";

// The profile names, or the built-in ones when the profile has not been filled: an empty name
// would make a key path name the maker key or the whole uninstall branch.
std::wstring nameOr(const std::wstring& name, const wchar_t* builtIn) {
    return name.empty() ? std::wstring(builtIn) : name;
}

std::wstring makerName(Brand brand) {
    return brand == Brand::Korvane ? nameOr(profile().korvane.makerName, L"Korvane")
                                   : nameOr(profile().vantrel.makerName, L"Vantrel");
}

std::wstring entryName(Brand brand) {
    return brand == Brand::Korvane ? nameOr(profile().korvane.entryName, L"Korvane SSD Helmsight")
                                   : nameOr(profile().vantrel.entryName, L"Vantrel SSD Helmsight");
}

// The product folder name as a registry key name: "SSD Helmsight\" on both builds (the
// profile ends it with the file system's separator, which is '/' on Linux).
std::wstring productFolderKeyName() {
    std::wstring name = nameOr(profile().korvane.productFolderName, L"SSD Helmsight\\");
    if (name.back() == platform::kPathSeparator) {
        name.pop_back();
    }
    return name + L'\\';
}

std::wstring productKeyPath(const std::wstring& maker) {
    return kRootPrefix + maker + L'\\' + productFolderKeyName();
}

std::wstring uninstallKeyPath(const std::wstring& entry) {
    return kRootPrefix + (kUninstallBranch + entry);
}

std::wstring permanentKeyPath(const std::wstring& maker) {
    return kRootPrefix + maker + kPermanentSuffix;
}

// The value from the first key that yields a non-empty text; an empty value lets the next
// key decide.
std::wstring readFirstText(std::initializer_list<std::wstring> paths, const wchar_t* name) {
    std::wstring text;
    for (const std::wstring& path : paths) {
        text = readRegistryText(path, name);
        if (!text.empty()) {
            break;
        }
    }
    return text;
}

// Deletes a named subtree below an open key; a name with no component would empty the
// open key itself, so it deletes nothing.
void deleteSubtree(const platform::RegistryHandle& key, const std::wstring& name) {
    if (name.find_first_not_of(L'\\') != std::wstring::npos) {
        platform::regDeleteTree(key, name);
    }
}

}  // namespace

InstallRecord& installRecord() {
    return theRecord;
}

int32_t InstallRecord::getInstalledState(Brand brand) const {
    const int32_t state = readRegistryDword(productKeyPath(makerName(brand)), kIsInstalled);
    return state == -1 ? kInstalledAbsent : state;
}

std::wstring InstallRecord::getInstallPath(Brand brand) const {
    if (brand == Brand::Vantrel) {
        return readRegistryText(productKeyPath(makerName(Brand::Vantrel)), kInstallPath);
    }
    return readFirstText(
        {productKeyPath(makerName(Brand::Korvane)), productKeyPath(kLegacyMakerName)},
        kInstallPath);
}

std::wstring InstallRecord::getCurrentCulture() const {
    const std::wstring culture =
        readFirstText({productKeyPath(makerName(Brand::Korvane)), productKeyPath(kLegacyMakerName)},
                      kCurrentCulture);
    if (culture == L"zh-CHT") {
        return L"zh-TW";
    }
    if (culture == L"zh-CHS") {
        return L"zh-CN";
    }
    return culture;
}

bool InstallRecord::getStartMinimized() const {
    return readRegistryText(productKeyPath(makerName(Brand::Korvane)), kStartMinimized) == L"1";
}

Version InstallRecord::getCurrentVersion() const {
    return Version(
        readFirstText({productKeyPath(makerName(Brand::Korvane)), productKeyPath(kLegacyEntryName)},
                      kCurrentVersion));
}

Version InstallRecord::getDisplayVersion() const {
    return Version(readFirstText(
        {uninstallKeyPath(entryName(Brand::Korvane)), uninstallKeyPath(entryName(Brand::Vantrel)),
         uninstallKeyPath(kLegacyEntryName)},
        kDisplayVersion));
}

bool InstallRecord::isQZ4100Detected() const {
    return readRegistryDword(permanentKeyPath(makerName(Brand::Korvane)), kQZ4100Detected) == 1;
}

void InstallRecord::setInstalledState(int32_t state) const {
    writeRegistryDword(productKeyPath(makerName(Brand::Korvane)), kIsInstalled,
                       static_cast<uint32_t>(state));
}

void InstallRecord::setInstallPath(const std::wstring& path) const {
    writeRegistryText(productKeyPath(makerName(Brand::Korvane)), kInstallPath, path);
}

void InstallRecord::setCurrentCulture(const std::wstring& culture) const {
    writeRegistryText(productKeyPath(makerName(Brand::Korvane)), kCurrentCulture, culture);
}

void InstallRecord::setStartMinimized(bool flag) const {
    writeRegistryText(productKeyPath(makerName(Brand::Korvane)), kStartMinimized,
                      flag ? L"1" : L"0");
}

void InstallRecord::setCurrentVersion(const Version& version) const {
    writeRegistryText(productKeyPath(makerName(Brand::Korvane)), kCurrentVersion, version.text());
}

void InstallRecord::setIsCachePolicy(const std::wstring& text) const {
    writeRegistryText(productKeyPath(makerName(Brand::Korvane)), kIsCachePolicy, text);
}

void InstallRecord::setDisplayVersion(const Version& version) const {
    writeRegistryText(uninstallKeyPath(entryName(Brand::Korvane)), kDisplayVersion, version.text());
}

void InstallRecord::setDisplayName() const {
    writeRegistryText(uninstallKeyPath(entryName(Brand::Korvane)), kDisplayName,
                      nameOr(profile().korvane.productName, L"Helmsight"));
}

void InstallRecord::setDisplayIcon(const std::wstring& path) const {
    writeRegistryText(uninstallKeyPath(entryName(Brand::Korvane)), kDisplayIcon, path);
}

void InstallRecord::setInstallSource(const std::wstring& path) const {
    writeRegistryText(uninstallKeyPath(entryName(Brand::Korvane)), kInstallSource, path);
}

void InstallRecord::setPublisher(const std::wstring& text) const {
    writeRegistryText(uninstallKeyPath(entryName(Brand::Korvane)), kPublisher, text);
}

void InstallRecord::setUninstallString(const std::wstring& command) const {
    writeRegistryText(uninstallKeyPath(entryName(Brand::Korvane)), kUninstallString, command);
}

void InstallRecord::removeRegistration() const {
    using platform::RegistryRoot;
    const std::wstring culture = getCurrentCulture();
    const bool startMinimized = getStartMinimized();

    {
        platform::RegistryHandle uninstall;
        if (platform::regOpenKey(RegistryRoot::LocalMachine,
                                 std::wstring(kRootPrefix) + kUninstallBranch, kRecordKeyMask,
                                 uninstall) == platform::kRegistrySuccess) {
            deleteSubtree(uninstall, entryName(Brand::Korvane));
            deleteSubtree(uninstall, entryName(Brand::Vantrel));
        }
    }
    for (Brand brand : {Brand::Korvane, Brand::Vantrel}) {
        platform::RegistryHandle maker;
        if (platform::regOpenKey(RegistryRoot::LocalMachine, kRootPrefix + makerName(brand),
                                 kRecordKeyMask, maker) == platform::kRegistrySuccess) {
            deleteSubtree(maker, productFolderKeyName());
        }
    }
    {
        platform::RegistryHandle runOnce;
        if (platform::regOpenKey(RegistryRoot::CurrentUser,
                                 std::wstring(kRootPrefix) + kStartupBranch, kUserKeyMask,
                                 runOnce) == platform::kRegistrySuccess) {
            platform::regDeleteValue(runOnce, L"VantrelSSDHelmsight");
            platform::regDeleteValue(runOnce, L"KorvaneSSDHelmsight");
        }
    }
    setCurrentCulture(culture);
    setStartMinimized(startMinimized);
}
