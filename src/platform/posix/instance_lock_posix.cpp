// Single-instance guard on Linux: an exclusive lock on a file named after the program's file
// name, held by a descriptor that stays open (and is not inherited). Root keeps the file below
// <sysroot>/run/helmsight, a folder only root may write; other users in the temp folder. The
// file is opened without following links and checked before it is trusted, so that a planted
// link or someone else's file or folder is refused rather than written through or ignored.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/instance_lock.h"
#include "platform/posix/sysroot.h"
#include "platform/text.h"

namespace platform {
namespace {

constexpr mode_t kFolderMode = 0755;
// Only the owner may open the file: anyone who can open it can also hold its lock.
constexpr mode_t kLockFileMode = 0600;

// Closes the descriptor when the attempt is given up.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_;
};

bool runsAsRoot() {
    return geteuid() == 0;
}

std::string lockFolder() {
    if (runsAsRoot()) {
        return wideToUtf8(sysroot()) + "/run/helmsight";
    }
    const char* tmp = std::getenv("TMPDIR");
    return tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
}

std::string lockFileName(const std::wstring& name) {
    return wideToUtf8(name) + ".lock";
}

// Creates whatever is missing of `folder`, one component after the other. Existing ones are
// left as they are: the caller checks the last one after opening it.
void makeFolders(const std::string& folder) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        mkdir(folder.substr(0, slash).c_str(), kFolderMode);
        if (slash == std::string::npos) {
            return;
        }
    }
}

// Root's folder: a real folder (not a link) of root's, writable by root alone.
bool isRootOnlyFolder(int fd) {
    struct stat info {};
    return fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == 0 &&
           (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// A lock file of this user's own: a plain file with no other name (a hard link would make it
// stand for another file), then restricted to its owner.
bool isOwnLockFile(int fd) {
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid() ||
        info.st_nlink != 1) {
        return false;
    }
    return (info.st_mode & 07777) == kLockFileMode || fchmod(fd, kLockFileMode) == 0;
}

Descriptor openLockFolder() {
    const std::string folder = lockFolder();
    if (!runsAsRoot()) {
        return Descriptor(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    }
    makeFolders(folder);
    Descriptor fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (fd.get() >= 0 && !isRootOnlyFolder(fd.get())) {
        return Descriptor(-1);
    }
    return Descriptor(fd.release());
}

}  // namespace

InstanceLock takeSingleInstanceLock(const std::wstring& name) {
    const Descriptor folder = openLockFolder();
    if (folder.get() < 0) {
        return InstanceLock::Failed;
    }
    Descriptor file(openat(folder.get(), lockFileName(name).c_str(),
                           O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, kLockFileMode));
    if (file.get() < 0 || !isOwnLockFile(file.get())) {
        return InstanceLock::Failed;
    }
    if (flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
        return errno == EWOULDBLOCK ? InstanceLock::HeldByAnother : InstanceLock::Failed;
    }
    file.release();  // stays open until the process ends
    return InstanceLock::Taken;
}

std::wstring singleInstanceLockLocation(const std::wstring& name) {
    return utf8ToWide(lockFolder() + "/" + lockFileName(name));
}

}  // namespace platform
