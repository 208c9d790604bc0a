// Stands in for the programs that arrive in the package (prerequisite and driver installers,
// the application itself): appends one line to "standin.log" beside itself, telling its own
// file name, the arguments it was given and its working folder, separated by tabs.
// While a file "<own name>.hold" lies beside it, it waits (at most 120 seconds), so that a
// test can act while the program runs; "<own name>.started" appears when it has logged and
// "<own name>.finished" when it ends by itself. Started as 7za, it keeps a copy of the batch
// file "unzip.bat" of its working folder as "<own name>.unzip.bat", and asked to list ("l")
// it prints the text file "<own name>.listing" beside it, when there is one, and ends with 0.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>
#include <thread>

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/text.h"
#include "platform/working_folder.h"

int main(int argc, char** argv) {
    const std::wstring self = platform::ownModulePath();
    const size_t cut = self.rfind(platform::kPathSeparator);
    const std::wstring folder = self.substr(0, cut + 1);
    const std::wstring name = self.substr(cut + 1);

    std::string arguments;
    for (int i = 1; i < argc; ++i) {
        arguments += (i > 1 ? " " : "") + std::string(argv[i]);
    }
    {
        std::ofstream log(platform::toPath(folder + L"standin.log"),
                          std::ios::binary | std::ios::app);
        log << platform::wideToUtf8(name) << '\t' << arguments << '\t'
            << platform::wideToUtf8(platform::currentFolder()) << '\n';
    }
    const std::filesystem::path listing = platform::toPath(folder + name + L".listing");
    if (argc > 1 && std::string(argv[1]) == "l" && std::filesystem::exists(listing)) {
        // Text in, text out: a file with the platform's line ends comes out as it is.
        std::ifstream in(listing);
        std::cout << in.rdbuf() << std::flush;
        return 0;
    }
    std::error_code error;
    std::filesystem::copy_file("unzip.bat", platform::toPath(folder + name + L".unzip.bat"),
                               std::filesystem::copy_options::overwrite_existing, error);
    std::ofstream(platform::toPath(folder + name + L".started")).put('\n');

    const std::filesystem::path hold = platform::toPath(folder + name + L".hold");
    for (int waited = 0; std::filesystem::exists(hold) && waited < 120 * 20; ++waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::ofstream(platform::toPath(folder + name + L".finished")).put('\n');
    return 3;  // installers' exit codes are not looked at
}
