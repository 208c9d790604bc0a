// Version comparison and splitting.
#include <gtest/gtest.h>

#include "core/version.h"

namespace {

struct ComparisonCase {
    const wchar_t* a;
    const wchar_t* b;
    int expected;
};

TEST(VersionTest, ComparesComponentsAsNumbers) {
    const ComparisonCase cases[] = {
        {L"2.7.1.0", L"2.7.1.0", 0},
        {L"2.8.0.0", L"2.7.1.0", 1},
        {L"2.7.1.0", L"2.8.0.0", -1},
        {L"2.7.1.0", L"2.7.1", 1},  // equal shared components: more components is greater
        {L"2.7.1", L"2.7.1.0", -1},
        {L"2.7.9", L"2.7.10", -1},  // numbers, not texts
        {L"2.7.01", L"2.7.1", 1},   // different texts never compare equal...
        {L"2.7.1", L"2.7.01", 1},   // ...whichever comes first
        {L"1.0", L"1.00", 1},
        {L"1.x", L"1.0", 1},  // x counts as 0, then the first has as many components
        {L"1.x.5", L"1.0.6", -1},
        {L"12a.0", L"12.1", -1},         // digits up to the first non-digit
        {L" 3.0", L"2.9", 1},            // leading blanks are skipped
        {L"-1.0", L"0.0", -1},           // a sign is accepted
        {L"99999999999.0", L"1.0", -1},  // out of 32-bit range counts as 0
        {L"", L"1.0", -1},
        {L"1.0", L"", 1},
        {L"", L"", 0},
        {L"1..2", L"1.0.2", 1},  // the empty component is 0
    };
    for (const ComparisonCase& c : cases) {
        EXPECT_EQ(compareVersions(Version(c.a), Version(c.b)), c.expected)
            << "compareVersions(\"" << c.a << "\", \"" << c.b << "\")";
    }
}

struct SplitCase {
    const wchar_t* text;
    std::vector<std::wstring> pieces;
};

TEST(VersionTest, SplitsAsAStreamReadsLines) {
    const SplitCase cases[] = {
        {L"", {}},
        {L"1..2", {L"1", L"", L"2"}},
        {L"1.2.", {L"1", L"2"}},
        {L".1", {L"", L"1"}},
        {L".", {L""}},
        {L"..", {L"", L""}},
        {L"2.7.1.0", {L"2", L"7", L"1", L"0"}},
        {L"abc", {L"abc"}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(splitText(c.text, L'.'), c.pieces) << "splitText(\"" << c.text << "\")";
    }
}

TEST(VersionTest, ValueOperations) {
    Version v;
    EXPECT_TRUE(v.isEmpty());
    v = std::wstring(L"2.7.1.0");
    EXPECT_FALSE(v.isEmpty());
    EXPECT_EQ(v.text(), L"2.7.1.0");
    Version copy = v;
    EXPECT_EQ(compareVersions(copy, v), 0);
}

}  // namespace
