// InstallRecord: what the setup program keeps about an installation in the registry, one
// operation per value; every operation opens and closes its own key and reports nothing.
#pragma once

#include <cstdint>
#include <string>

#include "core/version.h"

enum class Brand { Korvane, Vantrel };

// The IsInstalled value.
enum InstalledState : int32_t {
    kInstalledStarted = 1,
    kInstalledComplete = 3,
    kInstalledAbsent = 5,  // never stored: what a missing or unreadable value reads as
};

class InstallRecord {
  public:
    int32_t getInstalledState(Brand brand) const;
    std::wstring getInstallPath(Brand brand) const;
    std::wstring getCurrentCulture() const;
    bool getStartMinimized() const;
    Version getCurrentVersion() const;
    Version getDisplayVersion() const;
    bool isQZ4100Detected() const;

    void setInstalledState(int32_t state) const;
    void setInstallPath(const std::wstring& path) const;
    void setCurrentCulture(const std::wstring& culture) const;
    void setStartMinimized(bool flag) const;
    void setCurrentVersion(const Version& version) const;
    void setIsCachePolicy(const std::wstring& text) const;
    void setDisplayVersion(const Version& version) const;
    void setDisplayName() const;
    void setDisplayIcon(const std::wstring& path) const;
    void setInstallSource(const std::wstring& path) const;
    void setPublisher(const std::wstring& text) const;
    void setUninstallString(const std::wstring& command) const;

    // The end of an uninstallation: removes both brands' keys, keeping culture and flag.
    void removeRegistration() const;
};

// The process-wide record (the install worker and the manifest lookup make their own).
InstallRecord& installRecord();
