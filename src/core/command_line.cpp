// Reading the options of the command line.
#include "core/command_line.h"

std::wstring foldAsciiToLower(std::wstring text) {
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    return text;
}

CommandLineOptions parseArguments(const std::vector<std::wstring>& arguments,
                                  CommandLineOptions options) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring option = foldAsciiToLower(arguments[i]);
        if (option == L"-test") {
            if (i + 1 < arguments.size()) {
                options.baseUrl = arguments[++i];  // taken as written, not examined
            }
        } else if (option == L"-silent") {
            options.silent = true;
        } else if (option == L"-uninstall") {
            options.uninstall = true;
        } else if (option == L"-install") {
            options.uninstall = false;
        }
    }
    return options;
}
