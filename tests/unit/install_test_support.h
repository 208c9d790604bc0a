// Shared by the installation and uninstall tests: the stand-in program, fixture packages
// packed with the real 7-Zip or written byte by byte (for hostile ones), the scratch folders
// the workers use, and reading what the stand-ins logged.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/product_profile.h"
#include "install/resource_file.h"
#include "install/shortcuts.h"
#include "platform/archiver.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/process_runner.h"
#include "platform/shortcuts.h"
#include "platform/text.h"

namespace installtest {

namespace fs = std::filesystem;

inline bool windowsBuild() {
    return platform::kPathSeparator == L'\\';
}

inline std::wstring exeSuffix() {
    return windowsBuild() ? L".exe" : L"";
}

inline fs::path toPath(const std::wstring& text) {
    return platform::toPath(text);
}

inline std::wstring wide(const fs::path& path) {
    return windowsBuild() ? path.wstring() : platform::utf8ToWide(path.string());
}

// The tests and the support tools are built into the same folder.
inline fs::path binFolder() {
    return toPath(platform::ownModulePath()).parent_path();
}

inline fs::path standinProgram() {
    return binFolder() / toPath(L"helmsight-standin-installer" + exeSuffix());
}

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A copy of the stand-in under `name` in `folder`.
inline void placeStandin(const fs::path& folder, const std::wstring& name) {
    fs::create_directories(folder);
    fs::copy_file(standinProgram(), folder / toPath(name), fs::copy_options::overwrite_existing);
}

// One logged start of a stand-in: its file name, its arguments and its working folder.
struct StandinRun {
    std::string program;
    std::string arguments;
    std::string workingFolder;
};

inline std::vector<StandinRun> standinLog(const fs::path& folder) {
    std::vector<StandinRun> runs;
    std::istringstream lines(readFile(folder / "standin.log"));
    std::string line;
    while (std::getline(lines, line)) {
        StandinRun run;
        std::istringstream fields(line);
        std::getline(fields, run.program, '\t');
        std::getline(fields, run.arguments, '\t');
        std::getline(fields, run.workingFolder, '\t');
        runs.push_back(run);
    }
    return runs;
}

// Waits for a file to appear; false after 60 seconds.
inline bool waitForFile(const fs::path& path) {
    for (int i = 0; i < 60 * 100; ++i) {
        if (fs::exists(path)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Removes a folder tree. Under Wine a program that has just ended may hold its working
// folder for a moment longer, so a failed removal is tried again for a few seconds.
inline void removeTree(const fs::path& path) {
    std::error_code error;
    for (int i = 0; i < 100; ++i) {
        fs::remove_all(path, error);
        if (!error) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

// The same folder, written with or without a final separator (and in any case on Windows).
inline bool sameFolder(const fs::path& a, const fs::path& b) {
    auto text = [](const fs::path& path) {
        std::wstring t = wide(path.lexically_normal());
        while (t.size() > 1 && (t.back() == L'/' || t.back() == L'\\')) {
            t.pop_back();
        }
        if (windowsBuild()) {
            for (wchar_t& c : t) {
                c = static_cast<wchar_t>(std::towlower(c));
            }
        }
        return t;
    };
    return text(a) == text(b);
}

// The console archiver: the distribution's on Linux (as the program finds it), the
// program's own resource on Windows.
inline std::wstring archiverCommand(const fs::path& scratch) {
    if (!windowsBuild()) {
        return L"\"" + platform::archiverPath(L"") + L"\"";
    }
    const fs::path installed = toPath(profile().korvane.installFolder) / "7za.exe";
    fs::create_directories(installed.parent_path());
    extractResourceToFile(2001, 2000, L"7za.exe");
    fs::create_directories(scratch);
    fs::copy_file(installed, scratch / "7za.exe", fs::copy_options::overwrite_existing);
    fs::remove(installed);
    return L"\"" + wide(scratch / "7za.exe") + L"\"";
}

// Packs everything in `content` into the ZIP archive `zip` with 7-Zip.
inline void packFolder(const fs::path& content, const fs::path& zip, const fs::path& scratch) {
    fs::remove(zip);
    platform::runHiddenAndWait(archiverCommand(scratch) + L" a -tzip \"" + wide(zip) + L"\" *",
                               wide(content));
    ASSERT_TRUE(fs::exists(zip)) << "7-Zip made no archive of " << content;
}

// The host byte of a ZIP entry's "made by" field.
enum class ZipHost : uint8_t { fat = 0, unix = 3 };

// An entry of a ZIP archive written byte by byte: any name, optionally a link (a Unix link
// mode in the high 16 bits of the external attributes, from either host), a Unicode path
// extra entry, or the UTF-8 flag.
struct ZipItem {
    ZipItem(std::string n, std::string d, bool link = false, std::string unicode = "",
            ZipHost h = ZipHost::unix, bool utf8 = false)
        : name(std::move(n)),
          data(std::move(d)),
          unixLink(link),
          unicodePath(std::move(unicode)),
          host(h),
          utf8Flag(utf8) {}
    std::string name;
    std::string data;
    bool unixLink;
    std::string unicodePath;  // an Info-ZIP Unicode path extra entry when not empty
    ZipHost host;
    bool utf8Flag;  // general purpose flag bit 11: the name is UTF-8
};

// How the end of a written archive describes its central directory. By default it is
// truthful; the other layouts are the ones readers disagree about.
enum class ZipEnd {
    truthful,
    // the classic end record counts only the first record, while its size covers them all
    countsOnlyTheFirstRecord,
    // a ZIP64 end record (with its locator) lists only the first record, while the classic
    // record, with plain values instead of the 0xFFFF/0xFFFFFFFF markers, lists them all
    zip64ListsOnlyTheFirstRecord,
};

inline uint32_t crc32Of(const std::string& data) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

inline void put(std::string& out, uint64_t value, int width) {
    for (int i = 0; i < width; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

inline std::string zipEndRecord(uint64_t count, uint64_t size, uint64_t offset) {
    std::string end;
    put(end, 0x06054b50, 4);
    put(end, 0, 4);
    put(end, count, 2);
    put(end, count, 2);
    put(end, size, 4);
    put(end, offset, 4);
    put(end, 0, 2);
    return end;
}

// The ZIP64 end record at `at`, then its locator.
inline std::string zip64EndRecord(uint64_t count, uint64_t size, uint64_t offset, uint64_t at) {
    std::string end;
    put(end, 0x06064b50, 4);
    put(end, 44, 8);
    put(end, 45, 2);
    put(end, 45, 2);
    put(end, 0, 4);
    put(end, 0, 4);
    put(end, count, 8);
    put(end, count, 8);
    put(end, size, 8);
    put(end, offset, 8);
    put(end, 0x07064b50, 4);
    put(end, 0, 4);
    put(end, at, 8);
    put(end, 1, 4);
    return end;
}

// A stored (uncompressed) ZIP archive, by default made by a Unix host, the kind any
// archiver reads.
inline void writeZip(const fs::path& zip, const std::vector<ZipItem>& items,
                     ZipEnd layout = ZipEnd::truthful) {
    std::string body;
    std::string directory;
    size_t firstRecordSize = 0;
    for (const ZipItem& item : items) {
        const uint32_t crc = crc32Of(item.data);
        const uint32_t mode = item.unixLink ? 0120777u : 0100644u;
        const uint16_t flags = item.utf8Flag ? 0x800 : 0;
        std::string extra;
        if (!item.unicodePath.empty()) {
            put(extra, 0x7075, 2);
            put(extra, 5 + item.unicodePath.size(), 2);
            put(extra, 1, 1);
            put(extra, crc32Of(item.name), 4);
            extra += item.unicodePath;
        }
        const uint32_t offset = static_cast<uint32_t>(body.size());
        put(body, 0x04034b50, 4);
        put(body, 20, 2);
        put(body, flags, 2);
        put(body, 0, 2);
        put(body, 0, 4);
        put(body, crc, 4);
        put(body, item.data.size(), 4);
        put(body, item.data.size(), 4);
        put(body, item.name.size(), 2);
        put(body, extra.size(), 2);
        body += item.name + extra + item.data;

        put(directory, 0x02014b50, 4);
        put(directory, 0x1E, 1);  // version 3.0
        put(directory, static_cast<uint8_t>(item.host), 1);
        put(directory, 20, 2);
        put(directory, flags, 2);
        put(directory, 0, 2);
        put(directory, 0, 4);
        put(directory, crc, 4);
        put(directory, item.data.size(), 4);
        put(directory, item.data.size(), 4);
        put(directory, item.name.size(), 2);
        put(directory, extra.size(), 2);
        put(directory, 0, 2);
        put(directory, 0, 2);
        put(directory, 0, 2);
        put(directory, static_cast<uint64_t>(mode) << 16, 4);
        put(directory, offset, 4);
        directory += item.name + extra;
        if (firstRecordSize == 0) {
            firstRecordSize = directory.size();
        }
    }
    std::string end;
    switch (layout) {
        case ZipEnd::truthful:
            end = zipEndRecord(items.size(), directory.size(), body.size());
            break;
        case ZipEnd::countsOnlyTheFirstRecord:
            end = zipEndRecord(1, directory.size(), body.size());
            break;
        case ZipEnd::zip64ListsOnlyTheFirstRecord:
            end = zip64EndRecord(1, firstRecordSize, body.size(), body.size() + directory.size()) +
                  zipEndRecord(items.size(), directory.size(), body.size());
            break;
    }
    writeFile(zip, body + directory + end);
}

// The maker folder of the Korvane installation (the test's Program Files (x86) below it is a
// scratch folder on Linux and the test prefix's own under Wine), emptied before and after.
inline fs::path makerFolder() {
    return toPath(profile().korvane.makerFolder);
}

inline fs::path installFolder() {
    return toPath(profile().korvane.installFolder);
}

// On Linux the desktop is a scratch folder: the tests never write into the real home.
inline void useScratchDesktop() {
    if (!windowsBuild()) {
        static std::string setting =
            "XDG_DESKTOP_DIR=" + platform::wideToUtf8(platform::programFilesX86Folder()) +
            "/../home/Desktop";
        putenv(setting.data());
        fs::create_directories(toPath(platform::desktopFolder()));
        fs::create_directories(toPath(platform::commonProgramsFolder()));
    }
}

// Removes what an installation test may have left in shared places (the Wine prefix).
inline void removeInstallationLeftovers() {
    std::error_code error;
    removeTree(makerFolder());
    for (const std::wstring& folder : {desktopFolder(), commonProgramsFolder()}) {
        if (folder.empty()) {
            continue;
        }
        // Wine's menu builder mirrors a new shell link as "Helmsight.desktop" beside it.
        for (const std::wstring& name :
             {shortcutFileName(), profile().korvane.entryName + platform::kShortcutExtension,
              profile().vantrel.entryName + platform::kShortcutExtension,
              std::wstring(L"Helmsight.desktop")}) {
            fs::remove(toPath(folder + name), error);
        }
    }
}

}  // namespace installtest
