// Shortcuts to the installed application.
#include "install/shortcuts.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "core/product_profile.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/shortcuts.h"

namespace {

std::wstring withSeparator(const std::wstring& folder) {
    return folder.empty() ? folder : folder + platform::kPathSeparator;
}

}  // namespace

std::wstring shortcutFileName() {
    return profile().korvane.productName + platform::kShortcutExtension;
}

std::wstring desktopFolder() {
    return withSeparator(platform::desktopFolder());
}

std::wstring commonProgramsFolder() {
    return withSeparator(platform::commonProgramsFolder());
}

std::wstring applicationTarget() {
    const BrandProfile& korvane = profile().korvane;
    std::error_code error;
    const std::wstring application = korvane.installFolder + korvane.applicationFileName;
    if (std::filesystem::exists(platform::toPath(application), error)) {
        return application;
    }
    return korvane.installFolder + korvane.alternateApplicationFileName;
}

void createShortcuts() {
    platform::ShortcutProperties link;
    link.target = applicationTarget();
    link.workingFolder = profile().korvane.installFolder;
    link.iconPath = link.target;
    link.iconIndex = 0;
    // A folder the system does not name gets no shortcut (never one in the file system root).
    std::vector<std::wstring> places;
    for (const std::wstring& folder : {desktopFolder(), commonProgramsFolder()}) {
        if (!folder.empty()) {
            places.push_back(folder + shortcutFileName());
        }
    }
    platform::saveShortcut(link, places);
}
