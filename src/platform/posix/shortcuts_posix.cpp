// Shortcuts on Linux: freedesktop desktop entries on the user's desktop and in the shared
// applications folder below the sysroot.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/files.h"
#include "platform/posix/sysroot.h"
#include "platform/shortcuts.h"
#include "platform/text.h"

namespace platform {
namespace {

constexpr mode_t kDesktopEntryMode = 0755;

std::string environmentText(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// A string value of a desktop entry: backslash and control characters escaped.
std::string escapeValue(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

std::string unescapeValue(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            out.push_back(next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next);
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

// The program of an Exec key: quoted, with ", `, $ and \ escaped inside the quotes and % as
// %%, so that any path is taken as one argument and no field code.
std::string execProgram(const std::string& path) {
    std::string out = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            out.push_back('\\');
        } else if (c == '%') {
            out.push_back('%');
        }
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

std::string execProgramBack(const std::string& exec) {
    std::string out;
    size_t i = exec.size() >= 2 && exec.front() == '"' ? 1 : 0;
    const size_t end = i == 1 ? exec.rfind('"') : exec.size();
    for (; i < end; ++i) {
        if (exec[i] == '\\' && i + 1 < end) {
            ++i;
        } else if (exec[i] == '%' && i + 1 < end && exec[i + 1] == '%') {
            ++i;
        }
        out.push_back(exec[i]);
    }
    return out;
}

std::string nameOf(const std::string& linkPath) {
    std::string name = toPath(utf8ToWide(linkPath)).stem().string();
    return name.empty() ? "Helmsight" : name;
}

// Writes an entry file as root may: never through a link planted in the user's desktop.
// Desktops start only entries marked executable, so the mode is 0755 whatever was there.
void writeDesktopEntry(const std::string& file, const std::string& text) {
    const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC,
                        kDesktopEntryMode);
    if (fd < 0) {
        return;
    }
    fchmod(fd, kDesktopEntryMode);
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            break;
        }
        done += static_cast<size_t>(written);
    }
    close(fd);
}

}  // namespace

std::wstring desktopFolder() {
    const std::string xdg = environmentText("XDG_DESKTOP_DIR");
    if (!xdg.empty()) {
        return utf8ToWide(xdg);
    }
    const std::string home = environmentText("HOME");
    return home.empty() ? std::wstring() : utf8ToWide(home + "/Desktop");
}

std::wstring commonProgramsFolder() {
    return sysroot() + L"/usr/share/applications";
}

bool saveShortcut(const ShortcutProperties& properties,
                  const std::vector<std::wstring>& linkPaths) {
    for (const std::wstring& path : linkPaths) {
        const std::string file = wideToUtf8(path);
        // A fresh account may have no desktop folder yet, a bare sysroot no applications folder.
        std::error_code error;
        std::filesystem::create_directories(toPath(path).parent_path(), error);
        std::ostringstream out;
        out << "[Desktop Entry]\n"
            << "Type=Application\n"
            << "Name=" << escapeValue(nameOf(file)) << "\n"
            << "Exec=" << escapeValue(execProgram(wideToUtf8(properties.target))) << "\n"
            << "Path=" << escapeValue(wideToUtf8(properties.workingFolder)) << "\n"
            << "Icon=" << escapeValue(wideToUtf8(properties.iconPath)) << "\n"
            << "Terminal=false\n";
        writeDesktopEntry(file, out.str());
    }
    return true;
}

bool readShortcut(const std::wstring& linkPath, ShortcutProperties& properties) {
    std::ifstream in(toPath(linkPath), std::ios::binary);
    if (!in) {
        return false;
    }
    std::string line;
    bool entry = false;
    properties = ShortcutProperties();
    while (std::getline(in, line)) {
        if (line == "[Desktop Entry]") {
            entry = true;
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        const std::string key = line.substr(0, equals);
        const std::string value = unescapeValue(line.substr(equals + 1));
        if (key == "Exec") {
            properties.target = utf8ToWide(execProgramBack(value));
        } else if (key == "Path") {
            properties.workingFolder = utf8ToWide(value);
        } else if (key == "Icon") {
            properties.iconPath = utf8ToWide(value);
        }
    }
    return entry;
}

}  // namespace platform
