// The running program's file on Windows: a handle opened at start-up that lets others read the
// file but neither write nor delete (nor rename) it, read back from its start for the copy.

#include <windows.h>

#include <vector>

#include "platform/folders.h"
#include "platform/output_file.h"
#include "platform/running_image.h"

namespace platform {
namespace {

constexpr DWORD kCopyBlockBytes = 64 * 1024;

HANDLE heldImage = INVALID_HANDLE_VALUE;

}  // namespace

void holdRunningImage() {
    if (heldImage != INVALID_HANDLE_VALUE) {
        return;
    }
    // Deliberately never closed: the system closes it with the process.
    heldImage = CreateFileW(ownModulePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool copyRunningImageTo(const std::wstring& target) {
    LARGE_INTEGER start{};
    if (heldImage == INVALID_HANDLE_VALUE ||
        !SetFilePointerEx(heldImage, start, nullptr, FILE_BEGIN)) {
        return false;
    }
    OutputFile copy;
    if (!copy.open(target)) {
        return false;
    }
    std::vector<char> block(kCopyBlockBytes);
    while (true) {
        DWORD read = 0;
        if (!ReadFile(heldImage, block.data(), kCopyBlockBytes, &read, nullptr)) {
            return false;
        }
        if (read == 0) {
            return copy.close();
        }
        if (!copy.write(block.data(), read)) {
            return false;
        }
    }
}

}  // namespace platform
