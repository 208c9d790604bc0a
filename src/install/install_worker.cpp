// The install worker. Not built yet: it finishes at once.
#include "install/install_worker.h"

#include "network/download_client.h"

void InstallWorker::run() {
    progress.store(100, std::memory_order_relaxed);
}

void InstallWorker::requestCancel() {
    cancelRequested.store(true, std::memory_order_relaxed);
    abortDownloads();
}

void InstallWorker::downloadPackage() {}
