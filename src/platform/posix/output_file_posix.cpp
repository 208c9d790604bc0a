// Raw output files on Linux.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/output_file.h"
#include "platform/text.h"

namespace platform {
namespace {

std::wstring reasonOf(int error) {
    return utf8ToWide(std::strerror(error));
}

}  // namespace

bool OutputFile::open(const std::wstring& path) {
    close();
    // Never through a link: the file is written as root, and it is the archive of a package.
    const int fd = ::open(wideToUtf8(path).c_str(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        errorText_ = reasonOf(errno);
        return false;
    }
    handle_ = fd;
    return true;
}

bool OutputFile::write(const void* data, size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(static_cast<int>(handle_), bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            errorText_ = reasonOf(written < 0 ? errno : EIO);
            return false;
        }
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool OutputFile::close() {
    if (handle_ < 0) {
        return true;
    }
    const int result = ::close(static_cast<int>(handle_));
    handle_ = -1;
    if (result != 0 && errno != EINTR) {
        errorText_ = reasonOf(errno);
        return false;
    }
    return true;
}

}  // namespace platform
