// The running program's file on Linux: /proc/self/exe opened at start-up. The descriptor keeps
// the running image's own file, whatever is renamed or written over its path afterwards (the
// kernel refuses writes to a running program's file).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/running_image.h"
#include "platform/text.h"

namespace platform {
namespace {

constexpr size_t kCopyBlockBytes = 64 * 1024;
constexpr mode_t kProgramMode = 0755;

int heldImage = -1;

bool writeAll(int fd, const char* bytes, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool copyFrom(int source, int target) {
    std::vector<char> block(kCopyBlockBytes);
    off_t offset = 0;
    while (true) {
        const ssize_t read = pread(source, block.data(), block.size(), offset);
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read < 0) {
            return false;
        }
        if (read == 0) {
            return true;
        }
        if (!writeAll(target, block.data(), static_cast<size_t>(read))) {
            return false;
        }
        offset += read;
    }
}

}  // namespace

void holdRunningImage() {
    if (heldImage < 0) {
        heldImage = open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
    }
}

bool copyRunningImageTo(const std::wstring& target) {
    if (heldImage < 0) {
        return false;
    }
    const int copy = open(wideToUtf8(target).c_str(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, kProgramMode);
    if (copy < 0) {
        return false;
    }
    // An existing file keeps its mode through O_TRUNC: make it the program's.
    const bool copied = fchmod(copy, kProgramMode) == 0 && copyFrom(heldImage, copy);
    return close(copy) == 0 && copied;
}

}  // namespace platform
