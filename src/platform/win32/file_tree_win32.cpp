// File trees on Windows, walked with FindFirstFileW/FindNextFileW: an entry with
// FILE_ATTRIBUTE_REPARSE_POINT (a junction, a symbolic link or any other reparse point) is
// removed with RemoveDirectoryW or DeleteFileW as the link it is and never entered.
#include <windows.h>

#include <winioctl.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/file_tree.h"

namespace platform {

namespace {

// The fixed part of the reparse data of symbolic links and junctions (mount points), as
// FSCTL_GET_REPARSE_POINT returns it; the names follow in the path buffer.
struct ReparseHeader {
    DWORD tag;
    WORD dataLength;
    WORD reserved;
    WORD substituteOffset;
    WORD substituteLength;
    WORD printOffset;
    WORD printLength;
};
constexpr DWORD kSymbolicLinkRelative = 1;  // SYMLINK_FLAG_RELATIVE

// A search handle that is closed when it goes out of scope.
class Search {
  public:
    Search(const std::wstring& pattern, WIN32_FIND_DATAW& found)
        : handle_(FindFirstFileW(pattern.c_str(), &found)) {}
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;
    ~Search() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            FindClose(handle_);
        }
    }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool next(WIN32_FIND_DATAW& found) const { return FindNextFileW(handle_, &found) != FALSE; }

  private:
    HANDLE handle_;
};

class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_;
};

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

std::wstring withoutFinalSeparators(std::wstring path) {
    while (path.size() > 1 && isSeparator(path.back())) {
        path.pop_back();
    }
    return path;
}

struct Listed {
    std::wstring name;
    DWORD attributes;
};

// The entries of `folder` (no final separator) but "." and ".."; false when it cannot be read.
bool listEntries(const std::wstring& folder, std::vector<Listed>& entries) {
    WIN32_FIND_DATAW found{};
    const Search search(folder + L"\\*", found);
    if (!search.valid()) {
        return false;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") {
            entries.push_back({name, found.dwFileAttributes});
        }
    } while (search.next(found));
    return true;
}

bool isReparsePoint(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool isFolder(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Removes one entry that is not entered: a file, or a reparse point as the link it is.
bool removeUnentered(const std::wstring& path, DWORD attributes) {
    return (isFolder(attributes) ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str())) !=
           FALSE;
}

bool removeEntry(const std::wstring& path, DWORD attributes) {
    if (isReparsePoint(attributes) || !isFolder(attributes)) {
        return removeUnentered(path, attributes);
    }
    std::vector<Listed> entries;
    if (!listEntries(path, entries)) {
        return false;
    }
    for (const Listed& entry : entries) {
        if (!removeEntry(path + L"\\" + entry.name, entry.attributes)) {
            return false;
        }
    }
    return RemoveDirectoryW(path.c_str()) != FALSE;
}

// The target a symbolic link or junction names: a relative link's text as written, an
// absolute one as a Win32 path; "" for any other kind of reparse point or unreadable data.
std::wstring reparseTarget(const std::wstring& path) {
    const FileHandle link(CreateFileW(
        path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!link.valid()) {
        return L"";
    }
    std::vector<BYTE> data(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
    DWORD size = 0;
    if (!DeviceIoControl(link.get(), FSCTL_GET_REPARSE_POINT, nullptr, 0, data.data(),
                         static_cast<DWORD>(data.size()), &size, nullptr) ||
        size < sizeof(ReparseHeader)) {
        return L"";
    }
    ReparseHeader header{};
    memcpy(&header, data.data(), sizeof header);
    size_t names = sizeof header;
    DWORD flags = 0;
    if (header.tag == IO_REPARSE_TAG_SYMLINK) {
        if (size < names + sizeof flags) {
            return L"";
        }
        memcpy(&flags, data.data() + names, sizeof flags);
        names += sizeof flags;
    } else if (header.tag != IO_REPARSE_TAG_MOUNT_POINT) {
        return L"";
    }
    const size_t begin = names + header.substituteOffset;
    if (header.substituteLength == 0 || begin + header.substituteLength > size) {
        return L"";
    }
    std::wstring target(header.substituteLength / sizeof(wchar_t), L'\0');
    memcpy(target.data(), data.data() + begin, target.size() * sizeof(wchar_t));
    if ((flags & kSymbolicLinkRelative) != 0) {
        return target;
    }
    if (target.rfind(L"\\??\\UNC\\", 0) == 0) {
        return L"\\\\" + target.substr(8);
    }
    if (target.rfind(L"\\??\\", 0) == 0) {
        return target.substr(4);
    }
    return target;
}

struct FoundLink {
    std::wstring path;
    DWORD attributes;
};

// Collects every reparse point below `folder`, entering none.
void collectLinks(const std::wstring& folder, std::vector<FoundLink>& links) {
    std::vector<Listed> entries;
    if (!listEntries(folder, entries)) {
        return;
    }
    for (const Listed& entry : entries) {
        const std::wstring path = folder + L"\\" + entry.name;
        if (isReparsePoint(entry.attributes)) {
            links.push_back({path, entry.attributes});
        } else if (isFolder(entry.attributes)) {
            collectLinks(path, links);
        }
    }
}

}  // namespace

bool entryExists(const std::wstring& path) {
    return !path.empty() &&
           GetFileAttributesW(withoutFinalSeparators(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool removeTree(const std::wstring& path) {
    const std::wstring top = withoutFinalSeparators(path);
    const DWORD attributes = GetFileAttributesW(top.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && removeEntry(top, attributes);
}

std::vector<FolderEntry> listFolder(const std::wstring& folder) {
    std::vector<FolderEntry> result;
    const std::wstring path = withoutFinalSeparators(folder);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    std::vector<Listed> entries;
    if (attributes == INVALID_FILE_ATTRIBUTES || isReparsePoint(attributes) ||
        !listEntries(path, entries)) {
        return result;
    }
    for (const Listed& entry : entries) {
        result.push_back({entry.name, isFolder(entry.attributes)});
    }
    return result;
}

bool deleteFileEntry(const std::wstring& folder, const std::wstring& name) {
    // DeleteFileW refuses folders (junctions and folder links too) and removes a file link
    // itself, not its target.
    return DeleteFileW((withoutFinalSeparators(folder) + L"\\" + name).c_str()) != FALSE;
}

void sweepLinks(const std::wstring& folder, const LinkVerdict& removeIf) {
    std::vector<FoundLink> links;
    collectLinks(withoutFinalSeparators(folder), links);
    // Every verdict first, so that none depends on a link removed before.
    std::vector<FoundLink> doomed;
    for (const FoundLink& link : links) {
        if (removeIf(link.path, reparseTarget(link.path))) {
            doomed.push_back(link);
        }
    }
    for (const FoundLink& link : doomed) {
        removeUnentered(link.path, link.attributes);
    }
}

}  // namespace platform
