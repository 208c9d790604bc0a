// The command-line grammar: -install, -uninstall, -silent and -test <base URL>.
#pragma once

#include <string>
#include <vector>

struct CommandLineOptions {
    bool silent = false;
    bool uninstall = false;
    std::wstring baseUrl;  // empty when no -test value was given
};

// Applies the options of `arguments` in order, starting from `initial`; the last of
// -install/-uninstall and the last -test value win, anything else is ignored.
CommandLineOptions parseArguments(const std::vector<std::wstring>& arguments,
                                  CommandLineOptions initial);

// Folds A-Z to a-z and leaves every other unit as it is.
std::wstring foldAsciiToLower(std::wstring text);
