// The single-instance lock: taken once, then held for the life of the process (so each test
// takes a name of its own), and a lock that cannot be had at all told apart from one that
// another instance holds.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/instance_lock.h"

namespace {

bool windowsBuild() {
    return platform::kPathSeparator == L'\\';
}

TEST(InstanceLockTest, TakenOnceThenHeldByAnother) {
    const std::wstring name = L"lock-test.exe";
    EXPECT_EQ(platform::takeSingleInstanceLock(name), platform::InstanceLock::Taken);
    EXPECT_EQ(platform::takeSingleInstanceLock(name), platform::InstanceLock::HeldByAnother);
    EXPECT_EQ(platform::takeSingleInstanceLock(name), platform::InstanceLock::HeldByAnother);
    EXPECT_EQ(platform::takeSingleInstanceLock(L"other-lock-test.exe"),
              platform::InstanceLock::Taken);
}

TEST(InstanceLockTest, LocationNamesTheLockFile) {
    const std::wstring name = L"lock-location-test.exe";
    const std::wstring location = platform::singleInstanceLockLocation(name);
    ASSERT_EQ(platform::takeSingleInstanceLock(name), platform::InstanceLock::Taken);
    if (windowsBuild()) {
        EXPECT_EQ(location, name);  // the mutex name
    } else {
        EXPECT_EQ(platform::toPath(location).filename(), platform::toPath(name + L".lock"));
        EXPECT_TRUE(std::filesystem::is_regular_file(platform::toPath(location)));
    }
}

// A name whose folder or namespace does not exist can be neither taken nor found held.
TEST(InstanceLockTest, ImpossibleNameFails) {
    const std::wstring name = L"no-such-folder/no-such-namespace\\lock-test.exe";
    EXPECT_EQ(platform::takeSingleInstanceLock(name), platform::InstanceLock::Failed);
    EXPECT_EQ(platform::takeSingleInstanceLock(name), platform::InstanceLock::Failed);
}

}  // namespace
