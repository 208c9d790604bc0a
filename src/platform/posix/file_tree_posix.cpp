// File trees on Linux, taken apart through folder descriptors: every entry is looked at with
// lstat semantics and every folder is opened with O_NOFOLLOW relative to its parent, so a
// link is never entered, not even a folder swapped for a link while the walk runs.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/file_tree.h"
#include "platform/text.h"

namespace platform {

namespace {

// A descriptor that is closed when it goes out of scope.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

  private:
    int fd_;
};

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

std::string withoutFinalSeparators(const std::wstring& path) {
    std::string bytes = wideToUtf8(path);
    while (bytes.size() > 1 && bytes.back() == '/') {
        bytes.pop_back();
    }
    return bytes;
}

// The folder that holds `path` and the last component's name.
std::pair<std::string, std::string> splitLast(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {".", path};
    }
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// The names in the folder open as `folder`, read through a second descriptor of its own.
bool readNames(int folder, std::vector<std::string>& names) {
    const int copy = dup(folder);
    if (copy < 0) {
        return false;
    }
    DIR* stream = fdopendir(copy);
    if (stream == nullptr) {
        close(copy);
        return false;
    }
    rewinddir(stream);  // the copy shares its position with `folder`, which may have been read
    while (const dirent* entry = readdir(stream)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    closedir(stream);
    return true;
}

bool removeEntryAt(int parent, const std::string& name) {
    struct stat status {};
    if (fstatat(parent, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        return false;
    }
    if (!S_ISDIR(status.st_mode)) {
        return unlinkat(parent, name.c_str(), 0) == 0;
    }
    const Descriptor folder(openat(parent, name.c_str(), kFolderFlags));
    if (!folder.valid()) {
        // Replaced by a link since the look: remove it as one, never enter it.
        return unlinkat(parent, name.c_str(), 0) == 0;
    }
    std::vector<std::string> names;
    if (!readNames(folder.get(), names)) {
        return false;
    }
    for (const std::string& child : names) {
        if (!removeEntryAt(folder.get(), child)) {
            return false;
        }
    }
    return unlinkat(parent, name.c_str(), AT_REMOVEDIR) == 0;
}

// Called for every link of the walk: the folder holding it, its name and its full path.
using LinkVisit = std::function<void(int folder, const std::string& name, const std::string& path)>;

void walkLinks(int folder, const std::string& path, const LinkVisit& visit) {
    std::vector<std::string> names;
    if (!readNames(folder, names)) {
        return;
    }
    for (const std::string& name : names) {
        const std::string childPath = path + "/" + name;
        struct stat status {};
        if (fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;
        }
        if (S_ISLNK(status.st_mode)) {
            visit(folder, name, childPath);
        } else if (S_ISDIR(status.st_mode)) {
            const Descriptor child(openat(folder, name.c_str(), kFolderFlags));
            if (child.valid()) {
                walkLinks(child.get(), childPath, visit);
            }
        }
    }
}

std::string linkTarget(int folder, const std::string& name) {
    std::string target(4096, '\0');
    const ssize_t length = readlinkat(folder, name.c_str(), target.data(), target.size());
    // A target that fills the buffer may have been cut: it counts as unreadable.
    target.resize(length > 0 && static_cast<size_t>(length) < target.size() ? length : 0);
    return target;
}

}  // namespace

bool entryExists(const std::wstring& path) {
    struct stat status {};
    return !path.empty() && lstat(wideToUtf8(path).c_str(), &status) == 0;
}

bool removeTree(const std::wstring& path) {
    const std::string bytes = withoutFinalSeparators(path);
    if (bytes.empty() || bytes == "/") {
        return false;
    }
    const auto [parentPath, name] = splitLast(bytes);
    const Descriptor parent(open(parentPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return parent.valid() && removeEntryAt(parent.get(), name);
}

std::vector<FolderEntry> listFolder(const std::wstring& folder) {
    std::vector<FolderEntry> entries;
    const Descriptor handle(open(withoutFinalSeparators(folder).c_str(), kFolderFlags));
    std::vector<std::string> names;
    if (!handle.valid() || !readNames(handle.get(), names)) {
        return entries;
    }
    for (const std::string& name : names) {
        struct stat status {};
        if (fstatat(handle.get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0) {
            entries.push_back({utf8ToWide(name), S_ISDIR(status.st_mode)});
        }
    }
    return entries;
}

bool deleteFileEntry(const std::wstring& folder, const std::wstring& name) {
    const Descriptor handle(open(withoutFinalSeparators(folder).c_str(), kFolderFlags));
    // unlinkat without AT_REMOVEDIR refuses folders and removes a link itself.
    return handle.valid() && unlinkat(handle.get(), wideToUtf8(name).c_str(), 0) == 0;
}

void sweepLinks(const std::wstring& folder, const LinkVerdict& removeIf) {
    const std::string path = withoutFinalSeparators(folder);
    const Descriptor handle(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!handle.valid()) {
        return;
    }
    // Every verdict first, so that none depends on a link the walk removed before.
    std::set<std::string> doomed;
    walkLinks(handle.get(), path,
              [&](int parent, const std::string& name, const std::string& full) {
                  if (removeIf(utf8ToWide(full), utf8ToWide(linkTarget(parent, name)))) {
                      doomed.insert(full);
                  }
              });
    walkLinks(handle.get(), path,
              [&](int parent, const std::string& name, const std::string& full) {
                  if (doomed.count(full) != 0) {
                      unlinkat(parent, name.c_str(), 0);
                  }
              });
}

}  // namespace platform
