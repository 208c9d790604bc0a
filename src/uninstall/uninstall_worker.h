// UninstallWorker: removes an installation on a background thread (processes, folders,
// shortcuts, registry record), publishing how far it has come in `progress`.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

class UninstallWorker {
  public:
    // The whole uninstallation; the body of the worker thread. Ends with progress 100.
    void run();

    std::atomic<int32_t> progress{0};
};
