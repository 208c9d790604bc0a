// Single-instance guard on Linux: an exclusive lock on a file in the temp folder named after
// the program's file name, held by a descriptor that stays open (and is not inherited).
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/instance_lock.h"
#include "platform/text.h"

namespace platform {

bool takeSingleInstanceLock(const std::wstring& name) {
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    const std::string path = folder + "/" + wideToUtf8(name) + ".lock";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return true;  // no lock file to be had: run rather than refuse every start
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool heldElsewhere = errno == EWOULDBLOCK;
        close(fd);
        return !heldElsewhere;
    }
    return true;  // fd stays open until the process ends
}

}  // namespace platform
