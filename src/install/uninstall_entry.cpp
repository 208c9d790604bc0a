// Uninstall registration: eight values, in a fixed order.
#include "install/uninstall_entry.h"

#include "core/product_profile.h"

namespace {
const wchar_t* const kPublisher = L"Korvane Corporation";
}

std::wstring uninstallCommand() {
    // Quoted: the system runs this command with administrator rights, and an unquoted path
    // with blanks would start a program planted at a shorter prefix of it.
    return L"\"" + profile().korvane.installFolder + profile().setupFileName + L"\" -uninstall ";
}

void registerUninstallEntry(const InstallRecord& record, const Version& packageVersion) {
    const BrandProfile& korvane = profile().korvane;
    record.setDisplayVersion(packageVersion);
    record.setCurrentVersion(packageVersion);
    record.setDisplayName();
    record.setDisplayIcon(korvane.installFolder + korvane.applicationFileName);
    record.setInstallSource(korvane.installFolder + profile().setupFileName);
    record.setPublisher(kPublisher);
    record.setUninstallString(uninstallCommand());
    record.setIsCachePolicy(L"0");
}
