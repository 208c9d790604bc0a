// The installation record against the real registry under Wine and the SQLite store on Linux:
// which keys each getter tries, the culture mapping and flag rules, where the setters write,
// and what removeRegistration leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/product_profile.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "registry/install_record.h"
#include "registry/registry_access.h"

namespace {

using platform::RegistryHandle;
using platform::RegistryRoot;

const wchar_t* const kKorvaneProduct = L"SOFTWARE\\Korvane\\SSD Helmsight";
const wchar_t* const kVantrelProduct = L"SOFTWARE\\Vantrel\\SSD Helmsight";
const wchar_t* const kLegacyProduct = L"SOFTWARE\\KVR\\SSD Helmsight";
const wchar_t* const kLegacyEntryProduct = L"SOFTWARE\\KVR SSD Helmsight\\SSD Helmsight";
const wchar_t* const kKorvanePermanent = L"SOFTWARE\\Korvane\\Permanent";
const wchar_t* const kUninstall = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const wchar_t* const kRunOnce = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

std::wstring entry(const wchar_t* name) {
    return kUninstall + std::wstring(name);
}

// Everything the record (and these tests) may write, in both brands and the legacy names.
void deleteRecordKeys() {
    RegistryHandle software;
    if (platform::regOpenKey(RegistryRoot::LocalMachine, L"SOFTWARE", kRecordKeyMask, software) ==
        0) {
        for (const wchar_t* key : {L"Korvane", L"Vantrel", L"KVR", L"KVR SSD Helmsight"}) {
            platform::regDeleteTree(software, key);
        }
    }
    RegistryHandle uninstall;
    if (platform::regOpenKey(RegistryRoot::LocalMachine, kUninstall, kRecordKeyMask, uninstall) ==
        0) {
        for (const wchar_t* key :
             {L"Korvane SSD Helmsight", L"Vantrel SSD Helmsight", L"KVR SSD Helmsight"}) {
            platform::regDeleteTree(uninstall, key);
        }
    }
    RegistryHandle runOnce;
    if (platform::regOpenKey(RegistryRoot::CurrentUser, kRunOnce, kUserKeyMask, runOnce) == 0) {
        for (const wchar_t* value :
             {L"KorvaneSSDHelmsight", L"VantrelSSDHelmsight", L"OtherProgram"}) {
            platform::regDeleteValue(runOnce, value);
        }
    }
}

bool keyExists(RegistryRoot root, const std::wstring& path) {
    RegistryHandle key;
    return platform::regOpenKey(root, path, kReadValueMask, key) == 0;
}

// The names of the values a key holds, sorted.
std::vector<std::wstring> valuesOf(RegistryRoot root, const std::wstring& path) {
    std::vector<std::wstring> names;
    RegistryHandle key;
    if (platform::regOpenKey(root, path, kReadValueMask, key) != 0) {
        return names;
    }
    std::wstring name;
    for (uint32_t i = 0; platform::regEnumValue(key, i, name) == 0; ++i) {
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class InstallRecordTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fillProductProfile(kDefaultBaseUrl);
        deleteRecordKeys();
    }
    void TearDown() override { deleteRecordKeys(); }

    InstallRecord record_;
};

struct Stored {
    std::wstring path;
    std::wstring name;
    std::wstring text;
};

TEST_F(InstallRecordTest, NothingStored) {
    EXPECT_EQ(record_.getInstalledState(Brand::Korvane), kInstalledAbsent);
    EXPECT_EQ(record_.getInstalledState(Brand::Vantrel), kInstalledAbsent);
    EXPECT_EQ(record_.getInstallPath(Brand::Korvane), L"");
    EXPECT_EQ(record_.getInstallPath(Brand::Vantrel), L"");
    EXPECT_EQ(record_.getCurrentCulture(), L"");
    EXPECT_FALSE(record_.getStartMinimized());
    EXPECT_FALSE(record_.isQZ4100Detected());
    EXPECT_TRUE(record_.getCurrentVersion().isEmpty());
    EXPECT_TRUE(record_.getDisplayVersion().isEmpty());
}

// Which key a text getter takes its value from.
TEST_F(InstallRecordTest, TextFallbacks) {
    enum class Getter {
        InstallPathKorvane,
        InstallPathVantrel,
        Culture,
        CurrentVersion,
        DisplayVersion
    };
    const struct {
        const char* what;
        Getter getter;
        std::vector<Stored> stored;
        std::wstring expected;
    } cases[] = {
        {"install path from Korvane",
         Getter::InstallPathKorvane,
         {{kKorvaneProduct, L"InstallPath", L"C:\\K\\"}, {kLegacyProduct, L"InstallPath", L"L"}},
         L"C:\\K\\"},
        {"empty Korvane path falls back to KVR",
         Getter::InstallPathKorvane,
         {{kKorvaneProduct, L"InstallPath", L""}, {kLegacyProduct, L"InstallPath", L"C:\\L\\"}},
         L"C:\\L\\"},
        {"Korvane path never from Vantrel",
         Getter::InstallPathKorvane,
         {{kVantrelProduct, L"InstallPath", L"C:\\V\\"}},
         L""},
        {"Vantrel path",
         Getter::InstallPathVantrel,
         {{kVantrelProduct, L"InstallPath", L"C:\\V\\"}},
         L"C:\\V\\"},
        {"Vantrel path has no legacy key",
         Getter::InstallPathVantrel,
         {{kLegacyProduct, L"InstallPath", L"C:\\L\\"}},
         L""},
        {"culture from KVR",
         Getter::Culture,
         {{kLegacyProduct, L"CurrentCulture", L"de-DE"}},
         L"de-DE"},
        {"Korvane culture wins",
         Getter::Culture,
         {{kKorvaneProduct, L"CurrentCulture", L"fr-FR"},
          {kLegacyProduct, L"CurrentCulture", L"de-DE"}},
         L"fr-FR"},
        {"zh-CHS", Getter::Culture, {{kKorvaneProduct, L"CurrentCulture", L"zh-CHS"}}, L"zh-CN"},
        {"zh-CHT", Getter::Culture, {{kKorvaneProduct, L"CurrentCulture", L"zh-CHT"}}, L"zh-TW"},
        {"legacy zh-CHS",
         Getter::Culture,
         {{kLegacyProduct, L"CurrentCulture", L"zh-CHS"}},
         L"zh-CN"},
        {"zh-chs kept",
         Getter::Culture,
         {{kKorvaneProduct, L"CurrentCulture", L"zh-chs"}},
         L"zh-chs"},
        {"zh-cn kept", Getter::Culture, {{kKorvaneProduct, L"CurrentCulture", L"zh-cn"}}, L"zh-cn"},
        {"current version",
         Getter::CurrentVersion,
         {{kKorvaneProduct, L"CurrentVersion", L"5.1.0.2"}},
         L"5.1.0.2"},
        {"current version from KVR SSD Helmsight",
         Getter::CurrentVersion,
         {{kLegacyEntryProduct, L"CurrentVersion", L"4.0"},
          {kLegacyProduct, L"CurrentVersion", L"3.0"}},
         L"4.0"},
        {"current version not from KVR",
         Getter::CurrentVersion,
         {{kLegacyProduct, L"CurrentVersion", L"3.0"}},
         L""},
        {"display version from Korvane",
         Getter::DisplayVersion,
         {{entry(L"Korvane SSD Helmsight"), L"DisplayVersion", L"5.0"},
          {entry(L"Vantrel SSD Helmsight"), L"DisplayVersion", L"4.0"}},
         L"5.0"},
        {"display version from Vantrel",
         Getter::DisplayVersion,
         {{entry(L"Vantrel SSD Helmsight"), L"DisplayVersion", L"4.0"},
          {entry(L"KVR SSD Helmsight"), L"DisplayVersion", L"3.0"}},
         L"4.0"},
        {"display version from the legacy entry",
         Getter::DisplayVersion,
         {{entry(L"KVR SSD Helmsight"), L"DisplayVersion", L"3.0"}},
         L"3.0"},
        {"empty display versions fall through",
         Getter::DisplayVersion,
         {{entry(L"Korvane SSD Helmsight"), L"DisplayVersion", L""},
          {entry(L"Vantrel SSD Helmsight"), L"DisplayVersion", L""},
          {entry(L"KVR SSD Helmsight"), L"DisplayVersion", L"3.0"}},
         L"3.0"},
    };
    for (const auto& c : cases) {
        deleteRecordKeys();
        for (const Stored& s : c.stored) {
            writeRegistryText(s.path, s.name, s.text);
        }
        std::wstring got;
        switch (c.getter) {
            case Getter::InstallPathKorvane:
                got = record_.getInstallPath(Brand::Korvane);
                break;
            case Getter::InstallPathVantrel:
                got = record_.getInstallPath(Brand::Vantrel);
                break;
            case Getter::Culture:
                got = record_.getCurrentCulture();
                break;
            case Getter::CurrentVersion:
                got = record_.getCurrentVersion().text();
                break;
            case Getter::DisplayVersion:
                got = record_.getDisplayVersion().text();
                break;
        }
        EXPECT_EQ(got, c.expected) << c.what;
    }
}

TEST_F(InstallRecordTest, FlagAndNumberRules) {
    const struct {
        const char* stored;
        bool expected;
    } flags[] = {{"1", true},   {"0", false},  {"", false},     {"01", false},
                 {"1 ", false}, {" 1", false}, {"true", false}, {"yes", false}};
    for (const auto& f : flags) {
        writeRegistryText(kKorvaneProduct, L"StartMinimized", platform::utf8ToWide(f.stored));
        EXPECT_EQ(record_.getStartMinimized(), f.expected) << "\"" << f.stored << "\"";
    }
    writeRegistryDword(kKorvaneProduct, L"StartMinimized", 1);
    EXPECT_FALSE(record_.getStartMinimized());

    const struct {
        const char* what;
        bool asText;
        uint32_t value;
        int32_t state;
    } states[] = {{"started", false, 1, kInstalledStarted},
                  {"complete", false, 3, kInstalledComplete},
                  {"zero", false, 0, 0},
                  {"0xFFFFFFFF", false, 0xFFFFFFFF, kInstalledAbsent},
                  {"as text", true, 3, kInstalledAbsent}};
    for (const auto& s : states) {
        deleteRecordKeys();
        if (s.asText) {
            writeRegistryText(kKorvaneProduct, L"IsInstalled", std::to_wstring(s.value));
        } else {
            writeRegistryDword(kKorvaneProduct, L"IsInstalled", s.value);
        }
        EXPECT_EQ(record_.getInstalledState(Brand::Korvane), s.state) << s.what;
        EXPECT_EQ(record_.getInstalledState(Brand::Vantrel), kInstalledAbsent) << s.what;
    }
    writeRegistryDword(kVantrelProduct, L"IsInstalled", 3);
    EXPECT_EQ(record_.getInstalledState(Brand::Vantrel), kInstalledComplete);

    for (const auto& [value, detected] :
         {std::pair<uint32_t, bool>{1, true}, {2, false}, {0, false}}) {
        writeRegistryDword(kKorvanePermanent, L"QZ4100Detected", value);
        EXPECT_EQ(record_.isQZ4100Detected(), detected) << value;
    }
    writeRegistryText(kKorvanePermanent, L"QZ4100Detected", L"1");
    EXPECT_FALSE(record_.isQZ4100Detected());
}

TEST_F(InstallRecordTest, SettersWriteTheKorvaneKeys) {
    record_.setInstalledState(kInstalledStarted);
    record_.setInstallPath(L"C:\\Program Files (x86)\\Korvane\\SSD Helmsight\\");
    record_.setCurrentCulture(L"de-DE");
    record_.setStartMinimized(true);
    record_.setCurrentVersion(Version(L"5.3.0.1"));
    record_.setIsCachePolicy(L"0");
    record_.setDisplayVersion(Version(L"5.3.0.1"));
    record_.setDisplayName();
    record_.setDisplayIcon(L"C:\\K\\Helmsight.exe");
    record_.setInstallSource(L"C:\\K\\HelmsightSetup.exe");
    record_.setPublisher(L"Korvane Corporation");
    record_.setUninstallString(L"C:\\K\\HelmsightSetup.exe -uninstall ");

    EXPECT_EQ(readRegistryDword(kKorvaneProduct, L"IsInstalled"), 1);
    EXPECT_EQ(readRegistryText(kKorvaneProduct, L"InstallPath"),
              L"C:\\Program Files (x86)\\Korvane\\SSD Helmsight\\");
    EXPECT_EQ(readRegistryText(kKorvaneProduct, L"CurrentCulture"), L"de-DE");
    EXPECT_EQ(readRegistryText(kKorvaneProduct, L"StartMinimized"), L"1");
    EXPECT_EQ(readRegistryText(kKorvaneProduct, L"CurrentVersion"), L"5.3.0.1");
    EXPECT_EQ(readRegistryText(kKorvaneProduct, L"IsCachePolicy"), L"0");
    const std::wstring korvaneEntry = entry(L"Korvane SSD Helmsight");
    EXPECT_EQ(readRegistryText(korvaneEntry, L"DisplayVersion"), L"5.3.0.1");
    EXPECT_EQ(readRegistryText(korvaneEntry, L"DisplayName"), L"Helmsight");
    EXPECT_EQ(readRegistryText(korvaneEntry, L"DisplayIcon"), L"C:\\K\\Helmsight.exe");
    EXPECT_EQ(readRegistryText(korvaneEntry, L"InstallSource"), L"C:\\K\\HelmsightSetup.exe");
    EXPECT_EQ(readRegistryText(korvaneEntry, L"Publisher"), L"Korvane Corporation");
    EXPECT_EQ(readRegistryText(korvaneEntry, L"UninstallString"),
              L"C:\\K\\HelmsightSetup.exe -uninstall ");
    EXPECT_EQ(valuesOf(RegistryRoot::LocalMachine, korvaneEntry),
              (std::vector<std::wstring>{L"DisplayIcon", L"DisplayName", L"DisplayVersion",
                                         L"InstallSource", L"Publisher", L"UninstallString"}));
    EXPECT_FALSE(keyExists(RegistryRoot::LocalMachine, kVantrelProduct));

    record_.setStartMinimized(false);
    EXPECT_EQ(readRegistryText(kKorvaneProduct, L"StartMinimized"), L"0");
    record_.setInstalledState(kInstalledComplete);
    EXPECT_EQ(record_.getInstalledState(Brand::Korvane), kInstalledComplete);
    EXPECT_EQ(record_.getCurrentVersion().text(), L"5.3.0.1");
    EXPECT_EQ(record_.getDisplayVersion().text(), L"5.3.0.1");
}

TEST_F(InstallRecordTest, RemoveRegistrationKeepsCultureAndFlag) {
    // A full record under both brands, the legacy names, the permanent key and both RunOnce
    // values, beside a RunOnce value of another program.
    record_.setInstalledState(kInstalledComplete);
    record_.setInstallPath(L"C:\\K\\");
    record_.setCurrentCulture(L"zh-CHS");
    record_.setStartMinimized(true);
    record_.setCurrentVersion(Version(L"5.0"));
    record_.setDisplayVersion(Version(L"5.0"));
    writeRegistryText(kKorvaneProduct + std::wstring(L"\\Sub"), L"Deep", L"x");
    writeRegistryDword(kVantrelProduct, L"IsInstalled", 3);
    writeRegistryText(entry(L"Vantrel SSD Helmsight"), L"DisplayVersion", L"4.0");
    writeRegistryText(entry(L"KVR SSD Helmsight"), L"DisplayVersion", L"3.0");
    writeRegistryText(kLegacyProduct, L"InstallPath", L"C:\\L\\");
    writeRegistryText(kLegacyEntryProduct, L"CurrentVersion", L"3.0");
    writeRegistryDword(kKorvanePermanent, L"QZ4100Detected", 1);
    writeRegistryText(L"SOFTWARE\\Vantrel\\Other", L"Keep", L"x");
    RegistryHandle runOnce;
    ASSERT_EQ(platform::regCreateKey(RegistryRoot::CurrentUser, kRunOnce, kUserKeyMask, runOnce),
              0);
    for (const wchar_t* value : {L"KorvaneSSDHelmsight", L"VantrelSSDHelmsight", L"OtherProgram"}) {
        const std::u16string units = platform::toRegistryUnits(L"x") + u'\0';
        ASSERT_EQ(platform::regSetValue(runOnce, value, platform::kRegSz, units.data(), 4), 0);
    }
    runOnce.close();

    record_.removeRegistration();

    EXPECT_EQ(valuesOf(RegistryRoot::LocalMachine, kKorvaneProduct),
              (std::vector<std::wstring>{L"CurrentCulture", L"StartMinimized"}));
    EXPECT_EQ(readRegistryText(kKorvaneProduct, L"CurrentCulture"), L"zh-CN");  // saved mapped
    EXPECT_EQ(readRegistryText(kKorvaneProduct, L"StartMinimized"), L"1");
    EXPECT_FALSE(keyExists(RegistryRoot::LocalMachine, kKorvaneProduct + std::wstring(L"\\Sub")));
    EXPECT_FALSE(keyExists(RegistryRoot::LocalMachine, kVantrelProduct));
    EXPECT_FALSE(keyExists(RegistryRoot::LocalMachine, entry(L"Korvane SSD Helmsight")));
    EXPECT_FALSE(keyExists(RegistryRoot::LocalMachine, entry(L"Vantrel SSD Helmsight")));
    EXPECT_EQ(record_.getInstalledState(Brand::Korvane), kInstalledAbsent);
    EXPECT_EQ(record_.getInstalledState(Brand::Vantrel), kInstalledAbsent);
    // Not touched: the maker keys, the permanent key, the legacy keys, other programs' values.
    EXPECT_TRUE(keyExists(RegistryRoot::LocalMachine, L"SOFTWARE\\Vantrel"));
    EXPECT_EQ(readRegistryText(L"SOFTWARE\\Vantrel\\Other", L"Keep"), L"x");
    EXPECT_TRUE(record_.isQZ4100Detected());
    EXPECT_EQ(readRegistryText(entry(L"KVR SSD Helmsight"), L"DisplayVersion"), L"3.0");
    EXPECT_EQ(readRegistryText(kLegacyProduct, L"InstallPath"), L"C:\\L\\");
    EXPECT_EQ(readRegistryText(kLegacyEntryProduct, L"CurrentVersion"), L"3.0");
    EXPECT_EQ(valuesOf(RegistryRoot::CurrentUser, kRunOnce),
              (std::vector<std::wstring>{L"OtherProgram"}));
    // The legacy entry still answers for the installed version.
    EXPECT_EQ(record_.getDisplayVersion().text(), L"3.0");
}

TEST_F(InstallRecordTest, RemoveRegistrationWithNothingStored) {
    record_.removeRegistration();
    EXPECT_EQ(valuesOf(RegistryRoot::LocalMachine, kKorvaneProduct),
              (std::vector<std::wstring>{L"CurrentCulture", L"StartMinimized"}));
    EXPECT_EQ(readRegistryText(kKorvaneProduct, L"CurrentCulture"), L"");
    EXPECT_EQ(readRegistryText(kKorvaneProduct, L"StartMinimized"), L"0");
    EXPECT_FALSE(keyExists(RegistryRoot::LocalMachine, kVantrelProduct));
}

}  // namespace
