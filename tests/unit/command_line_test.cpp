// The command-line grammar, read from command-line texts split with the Windows rules (the
// real CommandLineToArgvW in the Windows build, our own splitting in the Linux build).
#include <gtest/gtest.h>

#include "core/command_line.h"
#include "platform/command_line.h"

namespace {

struct CommandLineCase {
    const wchar_t* commandLine;
    bool silent;
    bool uninstall;
    const wchar_t* baseUrl;
};

TEST(CommandLineTest, OptionsAreReadInOrder) {
    const CommandLineCase cases[] = {
        {L"", false, false, L""},
        {L"-silent", true, false, L""},
        {L"-Silent -UNINSTALL", true, true, L""},
        {L"-uninstall -install", false, false, L""},
        {L"-install -uninstall", false, true, L""},
        {L"-test -silent", false, false, L"-silent"},  // the value is not an option
        {L"-test", false, false, L""},                 // -test last: nothing happens
        {L"-TEST HTTPS://Example.COM/Base/", false, false, L"HTTPS://Example.COM/Base/"},
        {L"-test http://a/ -test http://b/", false, false, L"http://b/"},
        {L"/silent --silent -silent:1 silent", false, false, L""},
        {L"-silent -test \"http://127.0.0.1:8080/with space/\" -uninstall", true, true,
         L"http://127.0.0.1:8080/with space/"},
        {L"   -silent\t-uninstall   ", true, true, L""},
        {L"-sİlent", false, false, L""},  // only A-Z are folded
    };
    for (const CommandLineCase& c : cases) {
        const CommandLineOptions options =
            parseArguments(platform::splitCommandLine(c.commandLine), CommandLineOptions());
        EXPECT_EQ(options.silent, c.silent) << c.commandLine;
        EXPECT_EQ(options.uninstall, c.uninstall) << c.commandLine;
        EXPECT_EQ(options.baseUrl, c.baseUrl) << c.commandLine;
    }
}

TEST(CommandLineTest, UninstallKeepsItsInitialValueWhenNotNamed) {
    CommandLineOptions initial;
    initial.uninstall = true;
    EXPECT_TRUE(parseArguments({L"-silent"}, initial).uninstall);
}

struct SplitCase {
    const wchar_t* commandLine;
    std::vector<std::wstring> arguments;
};

// Splitting rules for the arguments after the first (the first is read as a program name).
TEST(CommandLineTest, SplitsWithTheWindowsRules) {
    const SplitCase cases[] = {
        {L"first a b", {L"first", L"a", L"b"}},
        {L"first \"a b\" c", {L"first", L"a b", L"c"}},
        {L"first a\\\\\"b c\"", {L"first", L"a\\b c"}},  // 2n backslashes + quote: n, toggle
        {L"first a\\\"b", {L"first", L"a\"b"}},          // 2n+1: n and a literal quote
        {L"first a\\b", {L"first", L"a\\b"}},            // backslashes before no quote stay
        {L"first \"\"", {L"first", L""}},
        {L"\"C:\\Program Files\\x.exe\" -silent", {L"C:\\Program Files\\x.exe", L"-silent"}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(platform::splitCommandLine(c.commandLine), c.arguments) << c.commandLine;
    }
}

TEST(CommandLineTest, FoldsOnlyAsciiLetters) {
    EXPECT_EQ(foldAsciiToLower(L"-SILENT"), L"-silent");
    EXPECT_EQ(foldAsciiToLower(L"ÄÖÜ-Ab"), L"ÄÖÜ-ab");
}

}  // namespace
