// Test tool: asks for a message box on a worker thread while the main thread follows it the way
// the window follows a worker (dispatching messages), and ends with 0 once the box is closed.
// Usage: helmsight-dialog-from-worker SECONDS
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/dialogs.h"
#include "platform/process.h"
#include "ui/action_sequence.h"

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    std::atomic<bool> closed{false};
    std::thread worker([&closed] {
        platform::showMessageBox(L"Shown for a worker thread", L"Helmsight dialog test");
        closed.store(true);
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!closed.load() && std::chrono::steady_clock::now() < deadline) {
        waitPumping(50);
    }
    if (!closed.load()) {
        std::fprintf(stderr, "the box was not closed in time\n");
        platform::exitProcessNow(3);
    }
    worker.join();
    std::printf("closed\n");
    // As the setup program ends: GTK keeps its display to the end of the process.
    platform::exitProcessNow(0);
}
