// Windows command-line rules on Linux: splitting as CommandLineToArgvW does, and the quoting
// that makes a split give back the arguments that were joined.
#include "platform/posix/command_line_posix.h"

#include "platform/command_line.h"
#include "platform/text.h"

namespace platform {
namespace {

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// The program name: up to the next quote when it starts with one, else up to a blank.
size_t readProgramName(const std::wstring& text, std::wstring& out) {
    size_t i = 0;
    if (i < text.size() && text[i] == L'"') {
        ++i;
        while (i < text.size() && text[i] != L'"') {
            out.push_back(text[i++]);
        }
        if (i < text.size()) {
            ++i;
        }
    } else {
        while (i < text.size() && !isBlank(text[i])) {
            out.push_back(text[i++]);
        }
    }
    return i;
}

// One argument after the first: 2n backslashes before a quote give n and toggle quoting,
// 2n+1 give n and a literal quote; "" inside quotes gives a quote.
size_t readArgument(const std::wstring& text, size_t i, std::wstring& out) {
    bool quoted = false;
    while (i < text.size() && (quoted || !isBlank(text[i]))) {
        if (text[i] == L'\\') {
            size_t count = 0;
            while (i < text.size() && text[i] == L'\\') {
                ++count;
                ++i;
            }
            if (i < text.size() && text[i] == L'"') {
                out.append(count / 2, L'\\');
                if (count % 2 == 1) {
                    out.push_back(L'"');
                    ++i;
                }
            } else {
                out.append(count, L'\\');
            }
        } else if (text[i] == L'"') {
            if (quoted && i + 1 < text.size() && text[i + 1] == L'"') {
                out.push_back(L'"');
                i += 2;
            } else {
                quoted = !quoted;
                ++i;
            }
        } else {
            out.push_back(text[i++]);
        }
    }
    return i;
}

std::wstring quoteArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            quoted.append(backslashes * 2 + 1, L'\\');
        } else {
            quoted.append(backslashes, L'\\');
        }
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(backslashes * 2, L'\\');
    quoted.push_back(L'"');
    return quoted;
}

}  // namespace

std::vector<std::wstring> splitCommandLine(const std::wstring& commandLine) {
    std::vector<std::wstring> arguments;
    if (commandLine.empty()) {
        return arguments;
    }
    std::wstring first;
    size_t i = readProgramName(commandLine, first);
    arguments.push_back(first);
    while (true) {
        while (i < commandLine.size() && isBlank(commandLine[i])) {
            ++i;
        }
        if (i >= commandLine.size()) {
            break;
        }
        std::wstring argument;
        i = readArgument(commandLine, i, argument);
        arguments.push_back(argument);
    }
    return arguments;
}

std::wstring joinCommandLine(int argc, char** argv) {
    std::wstring text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            text.push_back(L' ');
        }
        const std::wstring argument = utf8ToWide(argv[i]);
        // The first argument is read with the program-name rule, which knows no escapes.
        text +=
            i == 1 && argument.find(L'"') == std::wstring::npos && !argument.empty()
                ? (argument.find_first_of(L" \t") == std::wstring::npos ? argument
                                                                        : L"\"" + argument + L"\"")
                : quoteArgument(argument);
    }
    return text;
}

}  // namespace platform
