// GoogleTest's Windows port is thread-safe on Win32 primitives of its own, but
// its Notification needs std::mutex, which MinGW's win32 thread model lacks.
// Only GoogleTest's own thread helpers use it, never our suites: a flag will do.
#pragma once

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;
    void Notify() { notified_ = true; }
    void WaitForNotification() {
        while (!notified_) {
        }
    }

private:
    volatile bool notified_ = false;
};

}  // namespace testing::internal
