// The registry on Linux: keys and typed values in SQLite databases, with the registry's rules.
// A key is a row named by its folded path (components upper-cased, joined by a backslash, the
// root being the empty path); a value is a row of its key with its type and its bytes as
// stored. Every handle has its own connection, so threads never share one; WAL and a busy
// timeout let several processes read and write the same database.
#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/registry_store.h"
#include "platform/posix/sysroot.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace platform {

std::string machineRegistryDatabase() {
    return wideToUtf8(sysroot()) + "/var/lib/helmsight/registry.db";
}

std::string userRegistryDatabase() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/') {
        return std::string(dataHome) + "/helmsight/registry.db";
    }
    std::string home;
    const char* homeVariable = std::getenv("HOME");
    if (homeVariable != nullptr && homeVariable[0] != '\0') {
        home = homeVariable;
    } else if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir) {
        home = entry->pw_dir;
    }
    return home + "/.local/share/helmsight/registry.db";
}

namespace {

constexpr int kBusyTimeoutMilliseconds = 15000;
constexpr uint32_t kKeyCreateSubKey = 0x0004;
constexpr uint32_t kKeyEnumerateSubKeys = 0x0008;
constexpr uint32_t kDeleteAccess = 0x10000;
constexpr uint32_t kWriteAccess = kKeySetValue | kKeyCreateSubKey | kDeleteAccess;
constexpr RegistryStatus kInvalidParameter = 87;  // ERROR_INVALID_PARAMETER

struct StoreKey {
    sqlite3* db = nullptr;  // null only for the root of a database that does not exist yet
    std::string path;       // folded; "" for the root
    uint32_t mask = 0;
};

StoreKey* storeKey(const RegistryHandle& key) {
    return static_cast<StoreKey*>(key.native());
}

// The key behind an open handle that grants `right`; otherwise null, with `status` saying why.
StoreKey* keyWithRight(const RegistryHandle& key, uint32_t right, RegistryStatus& status) {
    StoreKey* k = storeKey(key);
    if (k == nullptr) {
        status = kRegistryInvalidHandle;
        return nullptr;
    }
    if ((k->mask & right) == 0) {
        status = kRegistryAccessDenied;
        return nullptr;
    }
    return k;
}

// Registry names compare as their upper-case forms, for every letter, not only A to Z.
locale_t foldingLocale() {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return locale;
}

std::string folded(const std::wstring& name) {
    std::wstring upper = name;
    const locale_t locale = foldingLocale();
    for (wchar_t& c : upper) {
        if (locale != static_cast<locale_t>(0)) {
            c = static_cast<wchar_t>(towupper_l(static_cast<wint_t>(c), locale));
        } else if (c >= L'a' && c <= L'z') {
            c = static_cast<wchar_t>(c - L'a' + L'A');
        }
    }
    return wideToUtf8(upper);
}

// A key path with its empty components dropped.
struct KeyPath {
    std::vector<std::string> folded;  // per component
    std::vector<std::string> names;   // per component, as written
    std::string joined(size_t count) const {
        std::string path;
        for (size_t i = 0; i < count; ++i) {
            if (i > 0) {
                path += '\\';
            }
            path += folded[i];
        }
        return path;
    }
    std::string full() const { return joined(folded.size()); }
};

KeyPath parsePath(const std::wstring& path) {
    KeyPath result;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) {
            end = path.size();
        }
        if (end > start) {
            const std::wstring part = path.substr(start, end - start);
            result.folded.push_back(folded(part));
            result.names.push_back(wideToUtf8(part));
        }
        start = end + 1;
    }
    return result;
}

std::string childPath(const std::string& parent, const std::string& relative) {
    if (parent.empty()) {
        return relative;
    }
    return relative.empty() ? parent : parent + '\\' + relative;
}

struct Location {
    std::string file;
    std::wstring prefix;
};

Location locate(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::CurrentUser:
            return {userRegistryDatabase(), L""};
        case RegistryRoot::ClassesRoot:
            return {machineRegistryDatabase(), L"SOFTWARE\\Classes\\"};
        case RegistryRoot::LocalMachine:
            break;
    }
    return {machineRegistryDatabase(), L""};
}

RegistryStatus statusOfErrno(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
        case ENOTDIR:
        case EEXIST:
            return kRegistryAccessDenied;
        default:
            return kRegistryIoFailed;
    }
}

RegistryStatus makeFolders(const std::string& folder) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0755) != 0) {
            struct stat info {};
            if (errno != EEXIST || stat(part.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
                return statusOfErrno(errno == EEXIST ? ENOTDIR : errno);
            }
        }
        if (slash == std::string::npos) {
            return kRegistrySuccess;
        }
    }
}

class Statement {
  public:
    Statement(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK) {
            sqlite3_finalize(statement_);
            statement_ = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return statement_ != nullptr; }
    Statement& text(int index, const std::string& value) {
        if (statement_ != nullptr) {
            sqlite3_bind_text(statement_, index, value.data(), static_cast<int>(value.size()),
                              SQLITE_TRANSIENT);
        }
        return *this;
    }
    Statement& integer(int index, int64_t value) {
        if (statement_ != nullptr) {
            sqlite3_bind_int64(statement_, index, value);
        }
        return *this;
    }
    Statement& blob(int index, const void* data, int size) {
        static const char kEmpty = 0;  // a null pointer would bind NULL, not zero bytes
        if (statement_ != nullptr) {
            sqlite3_bind_blob(statement_, index, size > 0 ? data : &kEmpty, size, SQLITE_TRANSIENT);
        }
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error.
    int step() { return statement_ != nullptr ? sqlite3_step(statement_) : SQLITE_ERROR; }
    sqlite3_stmt* get() const { return statement_; }

  private:
    sqlite3_stmt* statement_ = nullptr;
};

bool execute(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// BEGIN IMMEDIATE takes the write lock up front (waiting up to the busy timeout), so a
// transaction never fails half-way because another writer came first.
class WriteTransaction {
  public:
    explicit WriteTransaction(sqlite3* db) : db_(db), begun_(execute(db, "BEGIN IMMEDIATE")) {}
    ~WriteTransaction() {
        if (begun_ && !done_) {
            execute(db_, "ROLLBACK");
        }
    }
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    bool begun() const { return begun_; }
    bool commit() {
        done_ = execute(db_, "COMMIT");
        return done_;
    }

  private:
    sqlite3* db_;
    bool begun_;
    bool done_ = false;
};

// 1 when the key exists, 0 when not, -1 when the database cannot tell.
int keyExists(sqlite3* db, const std::string& path) {
    if (path.empty()) {
        return 1;
    }
    Statement query(db, "SELECT 1 FROM keys WHERE path = ?1");
    const int rc = query.text(1, path).step();
    return rc == SQLITE_ROW ? 1 : rc == SQLITE_DONE ? 0 : -1;
}

RegistryStatus missingKeyStatus(sqlite3* db, const std::string& path, RegistryStatus ifPresent) {
    const int exists = keyExists(db, path);
    return exists == 1 ? ifPresent : exists == 0 ? kRegistryKeyDeleted : kRegistryIoFailed;
}

bool hasSchema(sqlite3* db) {
    Statement query(db, "SELECT count(*) FROM sqlite_master WHERE name IN ('keys', 'vals')");
    return query.step() == SQLITE_ROW && sqlite3_column_int(query.get(), 0) == 2;
}

RegistryStatus ensureSchema(sqlite3* db) {
    if (hasSchema(db)) {
        return kRegistrySuccess;
    }
    // Switching to WAL needs the database to itself for a moment; a second process creating
    // the same database at the same time makes this busy, so try again for a while.
    for (int attempt = 0; attempt < 100; ++attempt) {
        Statement mode(db, "PRAGMA journal_mode = WAL");
        if (mode.step() == SQLITE_ROW) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    WriteTransaction transaction(db);
    if (!transaction.begun() ||
        !execute(db,
                 "CREATE TABLE IF NOT EXISTS keys (path TEXT PRIMARY KEY, name TEXT NOT NULL) "
                 "WITHOUT ROWID;"
                 "CREATE TABLE IF NOT EXISTS vals (key TEXT NOT NULL, fold TEXT NOT NULL, "
                 "name TEXT NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL, "
                 "PRIMARY KEY (key, fold)) WITHOUT ROWID;") ||
        !transaction.commit()) {
        return kRegistryIoFailed;
    }
    return kRegistrySuccess;
}

// Opens the database file. Without `create`, a missing file gives kRegistryFileNotFound; with
// `write`, a database that cannot be written gives kRegistryAccessDenied.
RegistryStatus openDatabase(const std::string& file, bool write, bool create, sqlite3** out) {
    *out = nullptr;
    struct stat info {};
    if (stat(file.c_str(), &info) != 0) {
        if (!create) {
            return errno == ENOENT ? kRegistryFileNotFound : statusOfErrno(errno);
        }
        const RegistryStatus folders = makeFolders(file.substr(0, file.rfind('/')));
        if (folders != kRegistrySuccess) {
            return folders;
        }
    }
    sqlite3* db = nullptr;
    int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(file.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK && !write) {
        sqlite3_close(db);
        db = nullptr;
        rc = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    }
    if (rc != SQLITE_OK) {
        sqlite3_close(db);
        return write ? kRegistryAccessDenied : kRegistryIoFailed;
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMilliseconds);
    if (write) {
        if (sqlite3_db_readonly(db, "main") != 0) {
            sqlite3_close(db);
            return kRegistryAccessDenied;
        }
        // Keep the WAL and shared-memory files after the last writer closes, so that a reader
        // without write access to the folder can still open the database.
        int persist = 1;
        sqlite3_file_control(db, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
        const RegistryStatus schema = ensureSchema(db);
        if (schema != kRegistrySuccess) {
            sqlite3_close(db);
            return schema;
        }
    }
    *out = db;
    return kRegistrySuccess;
}

void adoptKey(RegistryHandle& out, sqlite3* db, std::string path, uint32_t mask) {
    out.adopt(new StoreKey{db, std::move(path), mask});
}

RegistryStatus deleteBelow(sqlite3* db, const std::string& path, bool includingKey) {
    const std::string lower = path + '\\';
    const std::string upper = path + ']';  // ']' follows '\' directly
    Statement keys(db, path.empty() ? "DELETE FROM keys"
                                    : "DELETE FROM keys WHERE (path > ?1 AND path < ?2) OR "
                                      "(?3 AND path = ?4)");
    keys.text(1, lower).text(2, upper).integer(3, includingKey ? 1 : 0).text(4, path);
    Statement values(db, path.empty() ? "DELETE FROM vals"
                                      : "DELETE FROM vals WHERE (key > ?1 AND key < ?2) OR "
                                        "key = ?4");
    values.text(1, lower).text(2, upper).text(4, path);
    if (keys.step() != SQLITE_DONE || values.step() != SQLITE_DONE) {
        return kRegistryIoFailed;
    }
    return kRegistrySuccess;
}

}  // namespace

RegistryStatus regOpenKey(RegistryRoot root, const std::wstring& path, uint32_t mask,
                          RegistryHandle& out) {
    const Location location = locate(root);
    const std::string keyPath = parsePath(location.prefix + path).full();
    const bool write = (mask & kWriteAccess) != 0;
    sqlite3* db = nullptr;
    RegistryStatus status = openDatabase(location.file, write, false, &db);
    if (status == kRegistryFileNotFound && keyPath.empty()) {
        // The root exists before anything was written below it.
        if (!write) {
            adoptKey(out, nullptr, keyPath, mask);
            return kRegistrySuccess;
        }
        status = openDatabase(location.file, true, true, &db);
    }
    if (status != kRegistrySuccess) {
        return status;
    }
    const int exists = keyExists(db, keyPath);
    if (exists != 1) {
        sqlite3_close(db);
        return exists == 0 ? kRegistryFileNotFound : kRegistryIoFailed;
    }
    adoptKey(out, db, keyPath, mask);
    return kRegistrySuccess;
}

RegistryStatus regCreateKey(RegistryRoot root, const std::wstring& path, uint32_t mask,
                            RegistryHandle& out) {
    const Location location = locate(root);
    const KeyPath keyPath = parsePath(location.prefix + path);
    sqlite3* db = nullptr;
    const RegistryStatus status = openDatabase(location.file, true, true, &db);
    if (status == kRegistryAccessDenied) {
        // An existing key may still be opened with the rights the caller has.
        return regOpenKey(root, path, mask, out) == kRegistrySuccess ? kRegistrySuccess : status;
    }
    if (status != kRegistrySuccess) {
        return status;
    }
    bool ok = false;
    {
        WriteTransaction transaction(db);
        ok = transaction.begun();
        for (size_t i = 1; ok && i <= keyPath.folded.size(); ++i) {
            Statement insert(db, "INSERT OR IGNORE INTO keys (path, name) VALUES (?1, ?2)");
            ok = insert.text(1, keyPath.joined(i)).text(2, keyPath.names[i - 1]).step() ==
                 SQLITE_DONE;
        }
        ok = ok && transaction.commit();
    }
    if (!ok) {
        sqlite3_close(db);
        return kRegistryIoFailed;
    }
    adoptKey(out, db, keyPath.full(), mask);
    return kRegistrySuccess;
}

RegistryStatus regQueryValue(const RegistryHandle& key, const std::wstring& name, uint32_t* type,
                             void* data, uint32_t* byteSize) {
    RegistryStatus refused = kRegistrySuccess;
    StoreKey* k = keyWithRight(key, kKeyQueryValue, refused);
    if (k == nullptr) {
        return refused;
    }
    if (data != nullptr && byteSize == nullptr) {
        return kInvalidParameter;
    }
    if (k->db == nullptr) {
        return kRegistryFileNotFound;
    }
    Statement query(k->db, "SELECT type, data FROM vals WHERE key = ?1 AND fold = ?2");
    const int rc = query.text(1, k->path).text(2, folded(name)).step();
    if (rc == SQLITE_DONE) {
        return missingKeyStatus(k->db, k->path, kRegistryFileNotFound);
    }
    if (rc != SQLITE_ROW) {
        return kRegistryIoFailed;
    }
    const uint32_t storedType = static_cast<uint32_t>(sqlite3_column_int64(query.get(), 0));
    const void* bytes = sqlite3_column_blob(query.get(), 1);
    const uint32_t size = static_cast<uint32_t>(sqlite3_column_bytes(query.get(), 1));
    if (type != nullptr) {
        *type = storedType;
    }
    if (data != nullptr) {
        if (*byteSize < size) {
            *byteSize = size;
            return kRegistryMoreData;
        }
        if (size > 0) {
            std::memcpy(data, bytes, size);
        }
    }
    if (byteSize != nullptr) {
        *byteSize = size;
    }
    return kRegistrySuccess;
}

RegistryStatus regSetValue(const RegistryHandle& key, const std::wstring& name, uint32_t type,
                           const void* data, uint32_t byteSize) {
    RegistryStatus refused = kRegistrySuccess;
    StoreKey* k = keyWithRight(key, kKeySetValue, refused);
    if (k == nullptr) {
        return refused;
    }
    if (k->db == nullptr) {
        return kRegistryAccessDenied;
    }
    if (data == nullptr && byteSize > 0) {
        return kInvalidParameter;
    }
    WriteTransaction transaction(k->db);
    if (!transaction.begun()) {
        return kRegistryIoFailed;
    }
    const int exists = keyExists(k->db, k->path);
    if (exists != 1) {
        return exists == 0 ? kRegistryKeyDeleted : kRegistryIoFailed;
    }
    Statement upsert(k->db,
                     "INSERT INTO vals (key, fold, name, type, data) VALUES (?1, ?2, ?3, ?4, ?5) "
                     "ON CONFLICT (key, fold) DO UPDATE SET type = excluded.type, "
                     "data = excluded.data");
    upsert.text(1, k->path).text(2, folded(name)).text(3, wideToUtf8(name)).integer(4, type);
    upsert.blob(5, data, static_cast<int>(byteSize));
    if (upsert.step() != SQLITE_DONE || !transaction.commit()) {
        return kRegistryIoFailed;
    }
    return kRegistrySuccess;
}

RegistryStatus regDeleteTree(const RegistryHandle& key, const std::wstring& subkey) {
    RegistryStatus refused = kRegistrySuccess;
    StoreKey* k = keyWithRight(key, kWriteAccess, refused);
    if (k == nullptr) {
        return refused;
    }
    if (k->db == nullptr) {
        return subkey.empty() ? kRegistrySuccess : kRegistryFileNotFound;
    }
    const std::string relative = parsePath(subkey).full();
    const std::string target = childPath(k->path, relative);
    WriteTransaction transaction(k->db);
    if (!transaction.begun()) {
        return kRegistryIoFailed;
    }
    const int parentExists = keyExists(k->db, k->path);
    if (parentExists != 1) {
        return parentExists == 0 ? kRegistryKeyDeleted : kRegistryIoFailed;
    }
    if (!relative.empty()) {
        const int exists = keyExists(k->db, target);
        if (exists != 1) {
            return exists == 0 ? kRegistryFileNotFound : kRegistryIoFailed;
        }
    }
    const RegistryStatus status = deleteBelow(k->db, target, !relative.empty());
    if (status != kRegistrySuccess || !transaction.commit()) {
        return kRegistryIoFailed;
    }
    return kRegistrySuccess;
}

RegistryStatus regDeleteValue(const RegistryHandle& key, const std::wstring& name) {
    RegistryStatus refused = kRegistrySuccess;
    StoreKey* k = keyWithRight(key, kKeySetValue, refused);
    if (k == nullptr) {
        return refused;
    }
    if (k->db == nullptr) {
        return kRegistryFileNotFound;
    }
    WriteTransaction transaction(k->db);
    if (!transaction.begun()) {
        return kRegistryIoFailed;
    }
    Statement remove(k->db, "DELETE FROM vals WHERE key = ?1 AND fold = ?2");
    if (remove.text(1, k->path).text(2, folded(name)).step() != SQLITE_DONE) {
        return kRegistryIoFailed;
    }
    if (sqlite3_changes(k->db) == 0) {
        return missingKeyStatus(k->db, k->path, kRegistryFileNotFound);
    }
    return transaction.commit() ? kRegistrySuccess : kRegistryIoFailed;
}

RegistryStatus regEnumKey(const RegistryHandle& key, uint32_t index, std::wstring& name) {
    RegistryStatus refused = kRegistrySuccess;
    StoreKey* k = keyWithRight(key, kKeyEnumerateSubKeys, refused);
    if (k == nullptr) {
        return refused;
    }
    if (k->db == nullptr) {
        return kRegistryNoMoreItems;
    }
    Statement query(k->db, k->path.empty()
                               ? "SELECT name FROM keys WHERE instr(path, '\\') = 0 "
                                 "ORDER BY path LIMIT 1 OFFSET ?3"
                               : "SELECT name FROM keys WHERE path > ?1 AND path < ?2 AND "
                                 "instr(substr(path, length(?1) + 1), '\\') = 0 "
                                 "ORDER BY path LIMIT 1 OFFSET ?3");
    query.text(1, k->path + '\\').text(2, k->path + ']').integer(3, index);
    const int rc = query.step();
    if (rc == SQLITE_ROW) {
        name = utf8ToWide(reinterpret_cast<const char*>(sqlite3_column_text(query.get(), 0)));
        return kRegistrySuccess;
    }
    if (rc == SQLITE_DONE) {
        return missingKeyStatus(k->db, k->path, kRegistryNoMoreItems);
    }
    return kRegistryIoFailed;
}

RegistryStatus regEnumValue(const RegistryHandle& key, uint32_t index, std::wstring& name) {
    RegistryStatus refused = kRegistrySuccess;
    StoreKey* k = keyWithRight(key, kKeyQueryValue, refused);
    if (k == nullptr) {
        return refused;
    }
    if (k->db == nullptr) {
        return kRegistryNoMoreItems;
    }
    Statement query(k->db, "SELECT name FROM vals WHERE key = ?1 ORDER BY fold LIMIT 1 OFFSET ?2");
    const int rc = query.text(1, k->path).integer(2, index).step();
    if (rc == SQLITE_ROW) {
        name = utf8ToWide(reinterpret_cast<const char*>(sqlite3_column_text(query.get(), 0)));
        return kRegistrySuccess;
    }
    if (rc == SQLITE_DONE) {
        return missingKeyStatus(k->db, k->path, kRegistryNoMoreItems);
    }
    return kRegistryIoFailed;
}

RegistryStatus regCloseKey(RegistryHandle& key) {
    StoreKey* k = static_cast<StoreKey*>(key.detach());
    if (k == nullptr) {
        return kRegistrySuccess;
    }
    const int rc = k->db != nullptr ? sqlite3_close(k->db) : SQLITE_OK;
    delete k;
    return rc == SQLITE_OK ? kRegistrySuccess : kRegistryIoFailed;
}

}  // namespace platform
