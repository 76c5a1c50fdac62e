// A second thread of the process, for Windows alone: it flushes a large
// temporary while the conversion goes on writing it (Windows has no call
// that starts writing a file out without waiting, as Linux's
// sync_file_range does).
#pragma once

#include <cstddef>

namespace quillo {

class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread() { Join(); }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Runs run(argument) on a thread of its own with a stack of about
    // `stackSize` bytes; `run` must not throw. False when the system gives no
    // thread (the caller then does without).
    bool Start(void (*run)(void*), void* argument, size_t stackSize);
    // Waits for the thread to end; nothing to do when none was started.
    void Join();

    // The started thread's body, called by it alone.
    void Enter() { run_(argument_); }

private:
    void (*run_)(void*) = nullptr;
    void* argument_ = nullptr;
    bool started_ = false;
    void* handle_ = nullptr;
};

}  // namespace quillo
