// Language selection: the start language is always one the catalogue carries, and a language
// picked by its display name is used at once and stored as the culture of the next run.
#include <gtest/gtest.h>

#include "core/product_profile.h"
#include "localization/language_selection.h"
#include "localization/translation_catalog.h"
#include "platform/registry.h"
#include "registry/install_record.h"
#include "registry/registry_access.h"

namespace {

void deleteKorvaneKeys() {
    platform::RegistryHandle software;
    if (platform::regOpenKey(platform::RegistryRoot::LocalMachine, L"SOFTWARE", kRecordKeyMask,
                             software) == 0) {
        platform::regDeleteTree(software, L"Korvane");
    }
}

class LanguageSelectionTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (catalog().displayNames().empty()) {
            catalog().loadTranslations();
        }
    }
    void SetUp() override {
        fillProductProfile(kDefaultBaseUrl);
        deleteKorvaneKeys();
        savedLanguage_ = catalog().currentLanguage();
    }
    void TearDown() override {
        catalog().setLanguage(savedLanguage_);
        deleteKorvaneKeys();
    }
    std::wstring savedLanguage_;
};

TEST_F(LanguageSelectionTest, StartLanguageHasATranslation) {
    const std::wstring start = chooseStartLanguage();
    EXPECT_FALSE(catalog().displayNameOf(start).empty()) << "start language has no file";
}

TEST_F(LanguageSelectionTest, PickingALanguageUsesAndStoresIt) {
    changeLanguage(L"Deutsch");
    EXPECT_EQ(catalog().currentLanguage(), L"de-DE");
    EXPECT_EQ(translate(L"IDS_TITLE_ERROR"), L"Fehler");
    EXPECT_EQ(installRecord().getCurrentCulture(), L"de-DE");

    changeLanguage(L"English");
    EXPECT_EQ(translate(L"IDS_TITLE_ERROR"), L"Error");
    EXPECT_EQ(InstallRecord().getCurrentCulture(), L"en-US");
}

TEST_F(LanguageSelectionTest, StoredOlderChineseCultureSelectsTheChineseFile) {
    installRecord().setCurrentCulture(L"zh-CHS");
    catalog().setLanguage(installRecord().getCurrentCulture());
    EXPECT_EQ(catalog().currentLanguage(), L"zh-CN");
    EXPECT_FALSE(translate(L"IDS_TITLE_ERROR").empty());
    // The zh-CN file carries the incomplete-installation text as well.
    EXPECT_FALSE(translate(L"IDS_INCOMPLETE_INSTALL", {L"5.0", L"Helmsight"}).empty());

    installRecord().setCurrentCulture(L"zh-cn");
    catalog().setLanguage(installRecord().getCurrentCulture());
    EXPECT_EQ(translate(L"IDS_TITLE_ERROR"), L"");
}

}  // namespace
