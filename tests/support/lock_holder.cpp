// Test tool: takes the single-instance lock of a program file name, the way the setup program
// does, writes a ready file, and keeps the lock until a stop file appears (or a time limit).
// Usage: helmsight-lock-holder NAME READY_FILE STOP_FILE MAX_SECONDS
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "platform/instance_lock.h"
#include "platform/text.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: helmsight-lock-holder NAME READY STOP MAX_SECONDS\n");
        return 2;
    }
    switch (platform::takeSingleInstanceLock(platform::utf8ToWide(argv[1]))) {
        case platform::InstanceLock::Taken:
            break;
        case platform::InstanceLock::HeldByAnother:
            std::fprintf(stderr, "lock already held\n");
            return 3;
        case platform::InstanceLock::Failed:
            std::fprintf(stderr, "cannot take the lock\n");
            return 4;
    }
    std::ofstream(argv[2]) << "locked\n";
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[4]));
    while (std::chrono::steady_clock::now() < deadline) {
        if (std::ifstream(argv[3]).good()) {
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
}
