// The translation catalogue: the line reader's rules on small fixture files, formatting with
// arguments, and the seventeen files the program carries.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "localization/translation_catalog.h"
#include "platform/text.h"

namespace {

std::wstring fixture(const std::string& name) {
    std::ifstream in(
        std::string(HELMSIGHT_TEST_SOURCE_DIR) + "/tests/fixtures/translations/" + name,
        std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(bytes.empty()) << name;
    return platform::utf8ToWide(bytes);
}

TranslationCatalog loaded(const std::string& fixtureName, const std::wstring& language) {
    TranslationCatalog catalog;
    catalog.parseTranslationFile(fixture(fixtureName));
    catalog.setLanguage(language);
    return catalog;
}

// The placeholders %1..%9 a text uses.
std::set<wchar_t> placeholders(const std::wstring& text) {
    std::set<wchar_t> found;
    for (size_t i = text.find(L'%'); i != std::wstring::npos; i = text.find(L'%', i + 1)) {
        if (i + 1 < text.size() && text[i + 1] >= L'1' && text[i + 1] <= L'9') {
            found.insert(text[i + 1]);
        }
    }
    return found;
}

// The entries that are translations, without the closing-brace lines the reader also keeps.
std::map<std::wstring, std::wstring> entriesOf(const TranslationCatalog& catalog,
                                               const std::wstring& code) {
    std::map<std::wstring, std::wstring> entries = catalog.textsOf(code);
    for (auto it = entries.begin(); it != entries.end();) {
        it = it->first.rfind(L"}", 0) == 0 ? entries.erase(it) : std::next(it);
    }
    return entries;
}

TEST(TranslationReaderTest, ByteOrderMarkAndCrLfLinesLoadLikeTheOthers) {
    const TranslationCatalog catalog = loaded("bom_crlf.json", L"xx-BM");
    EXPECT_EQ(catalog.displayNameOf(L"xx-BM"), L"Bom Crlf");
    EXPECT_EQ(catalog.languageOfDisplayName(L"Bom Crlf"), L"xx-BM");
    EXPECT_EQ(catalog.translate(L"IDS_TITLE_ERROR"), L"Fehler");
    EXPECT_EQ(catalog.translate(L"last_entry"), L"Ende");
    EXPECT_EQ(catalog.translate(L"admin_installer", {L"Helmsight"}), L"Needs Helmsight rights");
    // The closing braces become entries that keep their carriage return.
    EXPECT_EQ(catalog.translate(L"}\r"), L"}\r");
}

TEST(TranslationReaderTest, EntryLineVariants) {
    const TranslationCatalog catalog = loaded("missing_commas.json", L"xx-MC");
    const struct {
        const wchar_t* key;
        const wchar_t* text;
    } cases[] = {
        {L"no_comma", L"Accept"},
        {L"no_blank", L"Tight"},
        {L"padded", L"Cancel"},                     // blanks inside the quotes are dropped
        {L"two_lines", L"First\\nSecond %1"},       // stored as written
        {L"trailing", L"Text"},                     // only the quoted part
        {L"unclosed", L"Half open,"},               // everything after a lone quote
        {L"no_quotes", L"no_quotes: bare words,"},  // the whole line without a quote
        {L"missing", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(catalog.translate(c.key), c.text) << "key " << platform::wideToUtf8(c.key);
    }
}

TEST(TranslationReaderTest, BlankIndentationAndTabsWithinTheKey) {
    const TranslationCatalog catalog = loaded("blank_indented.json", L"xx-BI");
    EXPECT_EQ(catalog.displayNameOf(L"xx-BI"), L"Blank Indented");
    EXPECT_EQ(catalog.translate(L"IDS_OK"), L"OK");
    EXPECT_EQ(catalog.translate(L"IDS_CANCEL"), L"Cancelar");
    EXPECT_EQ(catalog.translate(L"spaced_key"), L"Spaced");
    EXPECT_EQ(catalog.translate(L"IDS_VERSION"), L"Vers\u00e3o");
}

TEST(TranslationReaderTest, LineOver999UnitsEndsTheFile) {
    const TranslationCatalog catalog = loaded("long_line.json", L"xx-LL");
    EXPECT_EQ(catalog.translate(L"before"), L"kept");
    EXPECT_EQ(catalog.translate(L"long_text"), L"");
    EXPECT_EQ(catalog.translate(L"after"), L"");
    EXPECT_EQ(catalog.displayNames(), std::vector<std::wstring>{L"Long Line"});
}

TEST(TranslationReaderTest, LineOfExactly999UnitsIsRead) {
    const std::wstring head = L"\t\tlong_text: \"";
    const std::wstring text(999 - head.size() - 2, L'y');
    TranslationCatalog catalog;
    catalog.parseTranslationFile(
        L"{\n\tlanguage: \"xx-LL\",\n\tdisplayName: \"L\",\n"
        L"\ttranslations: {\n" +
        head + text + L"\",\n\t\tafter: \"read\",\n\t}\n}\n");
    catalog.setLanguage(L"xx-LL");
    EXPECT_EQ(catalog.translate(L"long_text"), text);
    EXPECT_EQ(catalog.translate(L"after"), L"read");
}

TEST(TranslationReaderTest, QuotedKeysDuplicatesAndRepeatedHeaderLines) {
    const TranslationCatalog catalog = loaded("quoted_key.json", L"xx-QK");
    EXPECT_EQ(catalog.translate(L"\"quoted\""), L"quoted");
    EXPECT_EQ(catalog.translate(L"quoted"), L"");
    EXPECT_EQ(catalog.translate(L"dup"), L"second");
    EXPECT_EQ(catalog.displayNameOf(L"xx-OLD"), L"");
    EXPECT_EQ(catalog.displayNameOf(L"xx-QK"), L"Quoted Key");
}

TEST(TranslationReaderTest, FileWithoutTranslationsLineOffersNoLanguage) {
    TranslationCatalog catalog;
    catalog.parseTranslationFile(L"{\n\tlanguage: \"xx-NT\",\n\tdisplayName: \"Nothing\",\n}\n");
    EXPECT_TRUE(catalog.displayNames().empty());
    EXPECT_EQ(catalog.displayNameOf(L"xx-NT"), L"");
}

TEST(TranslationReaderTest, ALaterFileWithTheSameCodeReplacesTheTable) {
    TranslationCatalog catalog;
    catalog.parseTranslationFile(fixture("bom_crlf.json"));
    catalog.parseTranslationFile(
        L"{\nlanguage: \"xx-BM\",\ndisplayName: \"Again\",\ntranslations: {\nother: \"x\",\n}\n");
    catalog.setLanguage(L"xx-BM");
    EXPECT_EQ(catalog.translate(L"IDS_TITLE_ERROR"), L"");
    EXPECT_EQ(catalog.translate(L"other"), L"x");
}

TEST(TranslationFormatTest, Arguments) {
    TranslationCatalog catalog;
    catalog.parseTranslationFile(
        L"{\nlanguage: \"xx-FM\",\ndisplayName: \"F\",\ntranslations: {\n"
        L"one: \"Run %1 now %1\",\n"
        L"three: \"%3 version %1, then %2\",\n"
        L"lines: \"a\\nb %1\",\n"
        L"plain: \"no placeholder\\n\",\n"
        L"percent: \"100%\",\n}\n}\n");
    catalog.setLanguage(L"xx-FM");
    const struct {
        const wchar_t* key;
        std::vector<std::wstring> arguments;
        const wchar_t* expected;
    } cases[] = {
        {L"one", {}, L"Run %1 now %1"},
        {L"one", {L"Helmsight"}, L"Run Helmsight now Helmsight"},
        {L"three", {L"1.0", L"2.0", L"Helmsight"}, L"Helmsight version 1.0, then 2.0"},
        {L"three", {L"1.0"}, L"%3 version 1.0, then %2"},
        // An argument containing a later placeholder is replaced in that later pass.
        {L"three", {L"[%2]", L"X", L"Y"}, L"Y version [X], then X"},
        // An argument containing its own placeholder is inserted once.
        {L"one", {L"<%1>"}, L"Run <%1> now <%1>"},
        {L"lines", {}, L"a\\nb %1"},
        {L"lines", {L"c"}, L"a\nb c"},
        {L"plain", {L"unused"}, L"no placeholder\n"},
        {L"percent", {L"x"}, L"100%"},
        {L"missing", {L"x"}, L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(catalog.translate(c.key, c.arguments), c.expected)
            << platform::wideToUtf8(c.key) << " with " << c.arguments.size() << " arguments";
    }
}

TEST(TranslationFormatTest, UnknownLanguageGivesEmptyTexts) {
    TranslationCatalog catalog;
    catalog.parseTranslationFile(fixture("bom_crlf.json"));
    catalog.setLanguage(L"xx-bm");  // codes compare exactly
    EXPECT_EQ(catalog.translate(L"IDS_TITLE_ERROR"), L"");
    catalog.setLanguage(L"");
    EXPECT_EQ(catalog.translate(L"IDS_TITLE_ERROR", {L"x"}), L"");
}

TEST(TranslationHelpersTest, QuotedPartTrimSpacesReplaceAll) {
    EXPECT_EQ(quotedPart(L"a \"b\" \"c\""), L"b");
    EXPECT_EQ(quotedPart(L"a \"b"), L"b");
    EXPECT_EQ(quotedPart(L"a b"), L"a b");
    EXPECT_EQ(quotedPart(L"\"\""), L"");
    EXPECT_EQ(trimSpaces(L"  a b  "), L"a b");
    EXPECT_EQ(trimSpaces(L"   "), L"");
    EXPECT_EQ(trimSpaces(L"\ta\r"), L"\ta\r");  // only U+0020
    EXPECT_EQ(replaceAll(L"%1%1", L"%1", L"%1%1"), L"%1%1%1%1");
    EXPECT_EQ(replaceAll(L"aaa", L"aa", L"b"), L"ba");
}

// The files the program carries, read from its own resources.
class ShippedTranslationsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        catalog_ = new TranslationCatalog;
        catalog_->loadTranslations();
    }
    static void TearDownTestSuite() {
        delete catalog_;
        catalog_ = nullptr;
    }
    static TranslationCatalog* catalog_;
};
TranslationCatalog* ShippedTranslationsTest::catalog_ = nullptr;

const wchar_t* const kLanguages[] = {L"cs-CZ", L"da-DK", L"de-DE", L"en-US", L"es-ES", L"fr-FR",
                                     L"it-IT", L"ja-JP", L"ko-KR", L"nl-NL", L"pl-PL", L"pt-PT",
                                     L"ru-RU", L"sv-SE", L"tr-TR", L"zh-CN", L"zh-TW"};

TEST_F(ShippedTranslationsTest, DisplayNamesInOrderOfTheirCodes) {
    const std::vector<std::wstring> expected = {
        L"\u010ce\u0161tina",
        L"Dansk",
        L"Deutsch",
        L"English",
        L"Espa\u00f1ol",
        L"Fran\u00e7ais",
        L"Italiano",
        L"\u65e5\u672c\u8a9e",
        L"\ud55c\uad6d\uc5b4",
        L"Nederlands",
        L"Polski",
        L"Portugu\u00eas",
        L"P\u0443\u0441\u0441\u043a\u0438\u0439",  // a Latin capital P
        L"Svenska",
        L"T\u00fcrk\u00e7e",
        L"\u7b80\u4f53\u4e2d\u6587",
        L"\u7e41\u9ad4\u4e2d\u6587"};
    EXPECT_EQ(catalog_->displayNames(), expected);
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(catalog_->displayNameOf(kLanguages[i]), expected[i]);
        EXPECT_EQ(catalog_->languageOfDisplayName(expected[i]), kLanguages[i]);
    }
    EXPECT_EQ(catalog_->displayNameOf(L"en-GB"), L"");
    EXPECT_EQ(catalog_->languageOfDisplayName(L"english"), L"");
    EXPECT_EQ(catalog_->displayNames().size(), 17u);
}

TEST_F(ShippedTranslationsTest, EveryFileHasTheEnglishKeysAndPlaceholders) {
    const auto english = entriesOf(*catalog_, L"en-US");
    ASSERT_EQ(english.size(), 40u);
    for (const wchar_t* language : kLanguages) {
        const std::string name = platform::wideToUtf8(language);
        const auto entries = entriesOf(*catalog_, language);
        EXPECT_EQ(entries.size(), english.size()) << name;
        for (const auto& [key, englishText] : english) {
            const auto found = entries.find(key);
            ASSERT_NE(found, entries.end()) << name << " lacks " << platform::wideToUtf8(key);
            EXPECT_FALSE(found->second.empty()) << name << " " << platform::wideToUtf8(key);
            EXPECT_EQ(placeholders(found->second), placeholders(englishText))
                << name << " " << platform::wideToUtf8(key);
            EXPECT_EQ(found->second.find_first_of(L"\r\t\""), std::wstring::npos)
                << name << " " << platform::wideToUtf8(key);
        }
    }
}

TEST_F(ShippedTranslationsTest, EnglishTexts) {
    TranslationCatalog english = *catalog_;
    english.setLanguage(L"en-US");
    EXPECT_EQ(english.translate(L"IDS_TITLE_ERROR"), L"Error");
    EXPECT_EQ(english.translate(L"IDS_ACCEPT"), L"Accept");  // the entry without a comma
    EXPECT_EQ(english.translate(L"options_select_language"), L"Select Language:");
    EXPECT_EQ(english.translate(L"admin_installer"),
              L"Administrative privilege is required to run the %1 installer");
    EXPECT_EQ(english.translate(L"admin_installer", {L"Helmsight"}),
              L"Administrative privilege is required to run the Helmsight installer");
    EXPECT_EQ(english.translate(L"lock_file_error", {L"/run/helmsight/x.lock"}),
              L"Failed to create lock file /run/helmsight/x.lock");
    EXPECT_EQ(english.translate(L"IDS_NEWER_VERSION_INSTALLED", {L"6.0", L"5.0", L"Helmsight"}),
              L"Helmsight version 6.0 is already installed. You must uninstall it before you "
              L"can install version 5.0.");
}

TEST_F(ShippedTranslationsTest, EachFileIsReadOnlyUpToItsOwnSize) {
    // A reader that ran on into the next resource would pick up its header lines as entries.
    for (const wchar_t* language : kLanguages) {
        const auto entries = catalog_->textsOf(language);
        EXPECT_EQ(entries.count(L"language"), 0u) << platform::wideToUtf8(language);
        EXPECT_EQ(entries.count(L"{"), 0u) << platform::wideToUtf8(language);
    }
}

TEST_F(ShippedTranslationsTest, TrailingBlankInsideQuotesIsDropped) {
    TranslationCatalog chinese = *catalog_;
    chinese.setLanguage(L"zh-CN");
    const std::wstring cancel = chinese.translate(L"IDS_CANCEL");
    ASSERT_FALSE(cancel.empty());
    EXPECT_NE(cancel.back(), L' ');
}

}  // namespace
