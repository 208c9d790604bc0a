// Test tool: prints the culture stored in the installation record (empty when none), the way
// the setup program reads it.
#include <cstdio>

#include "platform/text.h"
#include "registry/install_record.h"

int main() {
    std::printf("%s\n", platform::wideToUtf8(installRecord().getCurrentCulture()).c_str());
    return 0;
}
