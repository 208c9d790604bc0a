// Key access beneath the installation record, against the real registry under Wine and the
// SQLite store on Linux: value rules, path forms, the key object, tree deletion, threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/registry.h"
#include "platform/text.h"
#include "registry/registry_access.h"

namespace {

using platform::RegistryHandle;
using platform::RegistryRoot;

const wchar_t* const kTestKey = L"SOFTWARE\\HelmsightTest";

void deleteTestKeys() {
    for (RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser}) {
        RegistryHandle software;
        if (platform::regOpenKey(root, L"SOFTWARE", kRecordKeyMask, software) == 0) {
            platform::regDeleteTree(software, L"HelmsightTest");
        }
    }
    RegistryHandle classes;
    if (platform::regOpenKey(RegistryRoot::ClassesRoot, L"", kRecordKeyMask, classes) == 0) {
        platform::regDeleteTree(classes, L"HelmsightTest.Marker");
    }
}

class RegistryAccessTest : public ::testing::Test {
  protected:
    void SetUp() override { deleteTestKeys(); }
    void TearDown() override { deleteTestKeys(); }

    static std::wstring path(const std::wstring& below) { return kTestKey + (L"\\" + below); }

    // Stores raw bytes, as another program might have. Windows adds a terminator that a text
    // lacks when the unit after the data happens to be NUL, so the bytes after it are not.
    static void storeRaw(const std::wstring& keyPath, const std::wstring& name, uint32_t type,
                         const std::string& bytes) {
        const std::string padded = bytes + "\xff\xff";
        RegistryHandle key;
        ASSERT_EQ(openOrCreateRecordKey(keyPath, key), 0);
        ASSERT_EQ(platform::regSetValue(key, name, type, padded.data(),
                                        static_cast<uint32_t>(bytes.size())),
                  0);
    }
};

// UTF-16LE bytes of a text, optionally with its terminator.
std::string utf16(const std::wstring& text, bool terminated = true) {
    std::u16string units = platform::toRegistryUnits(text);
    if (terminated) {
        units.push_back(u'\0');
    }
    std::string bytes;
    for (char16_t unit : units) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::string dwordBytes(uint32_t value) {
    return std::string{static_cast<char>(value), static_cast<char>(value >> 8),
                       static_cast<char>(value >> 16), static_cast<char>(value >> 24)};
}

TEST_F(RegistryAccessTest, ValueRules) {
    const std::wstring long511(511, L'a');
    const std::wstring long512(512, L'b');
    const struct {
        const char* what;
        uint32_t type;
        std::string bytes;
        std::wstring text;  // what readRegistryText gives
        int32_t dword;      // what readRegistryDword gives
    } cases[] = {
        {"text", platform::kRegSz, utf16(L"en-US"), L"en-US", -1},
        {"unexpanded text", platform::kRegExpandSz, utf16(L"%TEMP%\\x"), L"%TEMP%\\x", -1},
        {"non-ASCII text", platform::kRegSz, utf16(L"\u7b80\u4f53 \u00e9"), L"\u7b80\u4f53 \u00e9",
         -1},
        {"511 units", platform::kRegSz, utf16(long511), long511, -1},
        {"512 units", platform::kRegSz, utf16(long512), L"", -1},
        {"no terminator", platform::kRegSz, utf16(L"abc", false), L"", -1},
        {"odd byte size", platform::kRegSz, utf16(L"abc") + "x", L"", -1},
        {"zero bytes", platform::kRegSz, std::string(), L"", -1},
        {"text after a NUL", platform::kRegSz, utf16(L"ab") + utf16(L"cd"), L"ab", -1},
        {"multi-string", 7, utf16(L"a") + utf16(L""), L"", -1},
        {"binary", 3, "abcd", L"", -1},
        {"dword", platform::kRegDword, dwordBytes(7), L"", 7},
        {"dword 0", platform::kRegDword, dwordBytes(0), L"", 0},
        {"dword 0xFFFFFFFE", platform::kRegDword, dwordBytes(0xFFFFFFFE), L"", -2},
        {"dword 0xFFFFFFFF", platform::kRegDword, dwordBytes(0xFFFFFFFF), L"", -1},
        {"short dword", platform::kRegDword, std::string("\x05\x00", 2), L"", -1},
    };
    int index = 0;
    for (const auto& c : cases) {
        const std::wstring name = L"value" + std::to_wstring(index++);
        storeRaw(path(L"Values"), name, c.type, c.bytes);
        EXPECT_EQ(readRegistryText(path(L"Values"), name), c.text) << c.what;
        EXPECT_EQ(readRegistryDword(path(L"Values"), name), c.dword) << c.what;
    }
    EXPECT_EQ(readRegistryText(path(L"Values"), L"missing"), L"");
    EXPECT_EQ(readRegistryDword(path(L"Values"), L"missing"), -1);
    EXPECT_EQ(readRegistryText(path(L"Missing"), L"value0"), L"");
    EXPECT_EQ(readRegistryDword(path(L"Missing"), L"value0"), -1);
}

TEST_F(RegistryAccessTest, WritesCreateTheChainAndReadBack) {
    writeRegistryText(path(L"A\\B\\C"), L"Text", L"Helmsight");
    writeRegistryText(path(L"A\\B\\C"), L"Empty", L"");
    writeRegistryDword(path(L"A\\B\\C"), L"Number", 3);
    writeRegistryText(path(L"A\\B\\C"), L"Cut", std::wstring(L"ab\0cd", 5));
    EXPECT_EQ(readRegistryText(path(L"A\\B\\C"), L"Text"), L"Helmsight");
    EXPECT_EQ(readRegistryDword(path(L"A\\B\\C"), L"Number"), 3);
    EXPECT_EQ(readRegistryText(path(L"A\\B\\C"), L"Cut"), L"ab");

    // The empty text is stored as a single terminator.
    RegistryKey key;
    ASSERT_EQ(key.open(RegistryRoot::LocalMachine, path(L"A\\B\\C"), kReadValueMask), 0);
    char16_t buffer[4] = {u'x', u'x', u'x', u'x'};
    uint32_t count = 4;
    EXPECT_EQ(key.getText(L"Empty", buffer, count), 0);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(buffer[0], u'\0');

    // Overwriting replaces the type as well.
    writeRegistryText(path(L"A\\B\\C"), L"Number", L"3");
    EXPECT_EQ(readRegistryDword(path(L"A\\B\\C"), L"Number"), -1);
    EXPECT_EQ(readRegistryText(path(L"A\\B\\C"), L"Number"), L"3");
}

TEST_F(RegistryAccessTest, DoubledAndTrailingBackslashesAndCaseNameTheSameKey) {
    writeRegistryText(kTestKey + std::wstring(L"\\\\Doubled\\\\Key\\"), L"Value", L"one");
    EXPECT_EQ(readRegistryText(path(L"Doubled\\Key"), L"Value"), L"one");
    EXPECT_EQ(readRegistryText(path(L"doubled\\KEY\\\\"), L"VALUE"), L"one");
    writeRegistryText(path(L"DOUBLED\\key"), L"value", L"two");
    EXPECT_EQ(readRegistryText(path(L"Doubled\\Key"), L"Value"), L"two");
}

TEST_F(RegistryAccessTest, GetTextStatuses) {
    writeRegistryText(path(L"T"), L"Text", L"abcdef");
    writeRegistryDword(path(L"T"), L"Number", 1);
    RegistryKey key;
    ASSERT_EQ(key.open(RegistryRoot::LocalMachine, path(L"T"), kReadValueMask), 0);

    uint32_t count = 100;
    EXPECT_EQ(key.getText(L"Text", nullptr, count), 0);  // size only
    EXPECT_EQ(count, 7u);
    char16_t small[4] = {};
    count = 4;
    EXPECT_EQ(key.getText(L"Text", small, count), platform::kRegistryMoreData);
    EXPECT_EQ(count, 0u);
    count = 4;
    EXPECT_EQ(key.getText(L"Number", small, count), platform::kRegistryInvalidData);
    count = 4;
    EXPECT_EQ(key.getText(L"Missing", small, count), platform::kRegistryFileNotFound);
    // A text longer than four bytes fails in the query itself, a shorter one on its type.
    uint32_t number = 0;
    EXPECT_EQ(key.getDword(L"Text", number), platform::kRegistryMoreData);
    writeRegistryText(path(L"T"), L"Short", L"a");
    EXPECT_EQ(key.getDword(L"Short", number), platform::kRegistryInvalidData);
    EXPECT_EQ(key.getDword(L"Number", number), 0);
    EXPECT_EQ(number, 1u);
}

TEST_F(RegistryAccessTest, KeyKeepsWhatItHeldWhenAnOpenFails) {
    writeRegistryDword(path(L"Held"), L"Number", 42);
    RegistryKey key;
    EXPECT_EQ(key.release(), 0);  // nothing held
    ASSERT_EQ(key.open(RegistryRoot::LocalMachine, path(L"Held"), kReadValueMask), 0);
    EXPECT_EQ(key.open(RegistryRoot::LocalMachine, path(L"Nowhere"), kReadValueMask),
              platform::kRegistryFileNotFound);
    uint32_t number = 0;
    EXPECT_EQ(key.getDword(L"Number", number), 0);
    EXPECT_EQ(number, 42u);
    EXPECT_EQ(key.release(), 0);
    EXPECT_NE(key.getDword(L"Number", number), 0);
}

TEST_F(RegistryAccessTest, ReadOnlyKeyRefusesWrites) {
    writeRegistryDword(path(L"R"), L"Number", 1);
    RegistryHandle key;
    ASSERT_EQ(platform::regOpenKey(RegistryRoot::LocalMachine, path(L"R"), kReadValueMask, key), 0);
    const unsigned char bytes[4] = {2, 0, 0, 0};
    EXPECT_EQ(platform::regSetValue(key, L"Number", platform::kRegDword, bytes, 4),
              platform::kRegistryAccessDenied);
    EXPECT_EQ(readRegistryDword(path(L"R"), L"Number"), 1);
}

TEST_F(RegistryAccessTest, DeleteTreeAndValue) {
    writeRegistryText(path(L"Tree\\Sub\\Deeper"), L"V", L"1");
    writeRegistryText(path(L"Tree\\Sub"), L"V", L"2");
    writeRegistryText(path(L"Tree"), L"V", L"3");
    writeRegistryText(path(L"TreeSibling"), L"V", L"4");
    writeRegistryText(path(L"Tree\\Keep"), L"V", L"5");
    writeRegistryText(path(L"Tree\\Keep"), L"W", L"6");

    RegistryHandle tree;
    ASSERT_EQ(platform::regOpenKey(RegistryRoot::LocalMachine, path(L"Tree"), kRecordKeyMask, tree),
              0);
    EXPECT_EQ(platform::regDeleteTree(tree, L"sub\\"), 0);
    EXPECT_EQ(platform::regDeleteTree(tree, L"Sub"), platform::kRegistryFileNotFound);
    RegistryHandle probe;
    EXPECT_EQ(
        platform::regOpenKey(RegistryRoot::LocalMachine, path(L"Tree\\Sub"), kReadValueMask, probe),
        platform::kRegistryFileNotFound);
    EXPECT_EQ(platform::regOpenKey(RegistryRoot::LocalMachine, path(L"Tree\\Sub\\Deeper"),
                                   kReadValueMask, probe),
              platform::kRegistryFileNotFound);
    EXPECT_EQ(readRegistryText(path(L"Tree"), L"V"), L"3");
    EXPECT_EQ(readRegistryText(path(L"TreeSibling"), L"V"), L"4");
    EXPECT_EQ(readRegistryText(path(L"Tree\\Keep"), L"V"), L"5");

    RegistryHandle keep;
    ASSERT_EQ(
        platform::regOpenKey(RegistryRoot::LocalMachine, path(L"Tree\\Keep"), kRecordKeyMask, keep),
        0);
    EXPECT_EQ(platform::regDeleteValue(keep, L"v"), 0);
    EXPECT_EQ(platform::regDeleteValue(keep, L"V"), platform::kRegistryFileNotFound);
    EXPECT_EQ(readRegistryText(path(L"Tree\\Keep"), L"V"), L"");
    EXPECT_EQ(readRegistryText(path(L"Tree\\Keep"), L"W"), L"6");
}

TEST_F(RegistryAccessTest, EnumeratesSubkeysAndValues) {
    writeRegistryText(path(L"Enum\\Beta"), L"x", L"1");
    writeRegistryText(path(L"Enum\\Alpha\\Inner"), L"x", L"1");
    writeRegistryText(path(L"Enum"), L"Second", L"1");
    writeRegistryDword(path(L"Enum"), L"First", 1);
    RegistryHandle key;
    ASSERT_EQ(platform::regOpenKey(RegistryRoot::LocalMachine, path(L"Enum"), kReadValueMask, key),
              0);
    std::vector<std::wstring> keys;
    std::wstring name;
    for (uint32_t i = 0; platform::regEnumKey(key, i, name) == 0; ++i) {
        keys.push_back(name);
    }
    EXPECT_EQ(keys, (std::vector<std::wstring>{L"Alpha", L"Beta"}));
    std::vector<std::wstring> values;
    for (uint32_t i = 0; platform::regEnumValue(key, i, name) == 0; ++i) {
        values.push_back(name);
    }
    std::sort(values.begin(), values.end());
    EXPECT_EQ(values, (std::vector<std::wstring>{L"First", L"Second"}));
    EXPECT_EQ(platform::regEnumKey(key, 2, name), platform::kRegistryNoMoreItems);
}

TEST_F(RegistryAccessTest, ClassesRootKeysExistOnceCreated) {
    RegistryHandle key;
    EXPECT_EQ(platform::regOpenKey(RegistryRoot::ClassesRoot, L"HelmsightTest.Marker\\Instance",
                                   kReadValueMask, key),
              platform::kRegistryFileNotFound);
    RegistryHandle created;
    ASSERT_EQ(platform::regCreateKey(RegistryRoot::ClassesRoot, L"HelmsightTest.Marker\\Instance",
                                     platform::kKeyAllAccess, created),
              0);
    EXPECT_EQ(platform::regOpenKey(RegistryRoot::ClassesRoot, L"HelmsightTest.Marker\\Instance",
                                   kReadValueMask, key),
              0);
}

TEST_F(RegistryAccessTest, CurrentUserIsSeparateFromLocalMachine) {
    RegistryHandle user;
    ASSERT_EQ(platform::regCreateKey(RegistryRoot::CurrentUser, kTestKey, kUserKeyMask, user), 0);
    const std::string bytes = utf16(L"user");
    ASSERT_EQ(platform::regSetValue(user, L"Who", platform::kRegSz, bytes.data(),
                                    static_cast<uint32_t>(bytes.size())),
              0);
    EXPECT_EQ(readRegistryText(kTestKey, L"Who"), L"");  // reads look below HKLM only
}

TEST_F(RegistryAccessTest, ConcurrentThreadsLoseNothing) {
    constexpr int kThreads = 4;
    constexpr int kValues = 25;
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &mismatches] {
            for (int i = 0; i < kValues; ++i) {
                const std::wstring name = L"T" + std::to_wstring(t) + L"V" + std::to_wstring(i);
                writeRegistryText(path(L"Shared"), name, name);
                writeRegistryDword(path(L"Own" + std::to_wstring(t)), L"Count",
                                   static_cast<uint32_t>(i));
                if (readRegistryText(path(L"Shared"), name) != name) {
                    ++mismatches;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(mismatches.load(), 0);
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(readRegistryDword(path(L"Own" + std::to_wstring(t)), L"Count"), kValues - 1);
        for (int i = 0; i < kValues; ++i) {
            const std::wstring name = L"T" + std::to_wstring(t) + L"V" + std::to_wstring(i);
            EXPECT_EQ(readRegistryText(path(L"Shared"), name), name);
        }
    }
}

}  // namespace
