// InstallRecord: the installation's values in the registry, one operation per value.
#pragma once

#include <string>

#include "core/version.h"

class InstallRecord {
  public:
    std::wstring getCurrentCulture() const;
    void setCurrentCulture(const std::wstring& culture);
    Version getDisplayVersion() const;
};

// The one record of the process.
InstallRecord& installRecord();
