// The installation record. Not built yet: the culture lives in memory for this run and
// nothing counts as installed.
#include "registry/install_record.h"

namespace {
InstallRecord theRecord;
std::wstring cultureOfThisRun;
}  // namespace

InstallRecord& installRecord() {
    return theRecord;
}

int32_t InstallRecord::getInstalledState(Brand) const {
    return kInstalledAbsent;
}
std::wstring InstallRecord::getInstallPath(Brand) const {
    return std::wstring();
}
std::wstring InstallRecord::getCurrentCulture() const {
    return cultureOfThisRun;
}
bool InstallRecord::getStartMinimized() const {
    return false;
}
Version InstallRecord::getCurrentVersion() const {
    return Version();
}
Version InstallRecord::getDisplayVersion() const {
    return Version();
}
bool InstallRecord::isQZ4100Detected() const {
    return false;
}

void InstallRecord::setInstalledState(int32_t) const {}
void InstallRecord::setInstallPath(const std::wstring&) const {}
void InstallRecord::setCurrentCulture(const std::wstring& culture) const {
    cultureOfThisRun = culture;
}
void InstallRecord::setStartMinimized(bool) const {}
void InstallRecord::setCurrentVersion(const Version&) const {}
void InstallRecord::setIsCachePolicy(const std::wstring&) const {}
void InstallRecord::setDisplayVersion(const Version&) const {}
void InstallRecord::setDisplayName() const {}
void InstallRecord::setDisplayIcon(const std::wstring&) const {}
void InstallRecord::setInstallSource(const std::wstring&) const {}
void InstallRecord::setPublisher(const std::wstring&) const {}
void InstallRecord::setUninstallString(const std::wstring&) const {}
void InstallRecord::removeRegistration() const {}
