// Test tool: one downloadToFile from a download server, as the install worker makes it.
// Usage: helmsight-download-file BASE_URL URL_PATH FOLDER FILE_NAME
// Downloads BASE_URL + "kvrHelmsight/" + URL_PATH + FILE_NAME into FOLDER + FILE_NAME (FOLDER
// ends with the path separator). Messages go to standard error; ends with 0 when downloadToFile
// gives true, else 2.
#include <cstdio>
#include <string>

#include "core/product_profile.h"
#include "network/download_client.h"
#include "platform/dialogs.h"
#include "platform/text.h"

namespace {

void printMessage(const std::wstring& text, const std::wstring& caption) {
    std::fprintf(stderr, "%s: %s\n", platform::wideToUtf8(caption).c_str(),
                 platform::wideToUtf8(text).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: helmsight-download-file BASE_URL URL_PATH FOLDER FILE_NAME\n");
        return 2;
    }
    platform::setMessageSinkForTests(printMessage);  // never a box that waits for a click
    fillProductProfile(platform::utf8ToWide(argv[1]));
    const bool done = downloadToFile(platform::utf8ToWide(argv[2]), platform::utf8ToWide(argv[3]),
                                     platform::utf8ToWide(argv[4]));
    return done ? 0 : 2;
}
