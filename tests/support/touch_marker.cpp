// Test tool: stands in for the installed application. When started it writes the file
// "<its own path>.launched", so a test can tell that (and which copy of) it was started.
#include <fstream>

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/text.h"

int main() {
    const std::wstring self = platform::ownModulePath();
    std::ofstream marker(platform::toPath(self + L".launched"));
    marker << platform::wideToUtf8(self) << "\n";
    return marker ? 0 : 1;
}
