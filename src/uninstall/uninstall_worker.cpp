// The uninstall worker. Not built yet: it finishes at once.
#include "uninstall/uninstall_worker.h"

void UninstallWorker::run() {
    progress.store(100, std::memory_order_relaxed);
}
