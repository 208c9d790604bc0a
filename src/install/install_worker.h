// InstallWorker: one installation from start to end on a background thread, publishing how
// far it has come in `progress` and stopping between stages when asked to.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/version.h"
#include "registry/install_record.h"

class InstallWorker {
  public:
    explicit InstallWorker(Version packageVersion) : packageVersion_(std::move(packageVersion)) {}

    // The whole installation; the body of the worker thread.
    void run();
    // Called on the UI thread: stop between stages, and stop a running download.
    void requestCancel();
    // The package probe and download of stage 2.
    void downloadPackage();

    std::atomic<int32_t> progress{0};
    std::atomic<bool> cancelRequested{false};

  private:
    // Writes the stage's progress on the scale of this Windows version.
    void beginStage(int stage);
    bool cancelled() const { return cancelRequested.load(std::memory_order_relaxed); }

    Version packageVersion_;
    InstallRecord record_;
};
