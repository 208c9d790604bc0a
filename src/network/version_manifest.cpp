// The version manifest. Not built yet: no version is known.
#include "network/version_manifest.h"

Version readPackageVersion() {
    return Version();
}
