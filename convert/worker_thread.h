// A second thread of the process, for work that runs beside the conversion
// on another core. Joined before it is forgotten.
#pragma once

#include <cstddef>

#ifndef _WIN32
#include <pthread.h>
#endif

namespace quillo {

class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread() { Join(); }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Runs run(argument) on a thread of its own with a stack of about
    // `stackSize` bytes; `run` must not throw. False when the system gives no
    // thread (the caller then does the work itself).
    bool Start(void (*run)(void*), void* argument, size_t stackSize);
    // Waits for the thread to end; nothing to do when none was started.
    void Join();

    // The started thread's body, called by it alone.
    void Enter() { run_(argument_); }

private:
    void (*run_)(void*) = nullptr;
    void* argument_ = nullptr;
    bool started_ = false;
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    pthread_t thread_{};
#endif
};

}  // namespace quillo
