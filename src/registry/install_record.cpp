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

std::wstring InstallRecord::getCurrentCulture() const {
    return cultureOfThisRun;
}

void InstallRecord::setCurrentCulture(const std::wstring& culture) {
    cultureOfThisRun = culture;
}

Version InstallRecord::getDisplayVersion() const {
    return Version();
}
