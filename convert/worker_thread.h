// A second thread of the process, for work that runs beside the conversion
// on another core, and the lock and condition two threads hand work over
// with.
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

// A lock and a condition on it. Wait unlocks, sleeps until a NotifyAll (or
// a spurious wake: callers test their own condition again) and locks again.
class Monitor {
public:
    Monitor();
    ~Monitor();
    Monitor(const Monitor&) = delete;
    Monitor& operator=(const Monitor&) = delete;

    void Lock();
    void Unlock();
    void Wait();
    void NotifyAll();

private:
#ifdef _WIN32
    void* lock_ = nullptr;       // an SRWLOCK, which is one pointer
    void* condition_ = nullptr;  // a CONDITION_VARIABLE, likewise
#else
    pthread_mutex_t mutex_;
    pthread_cond_t condition_;
#endif
};

// Holds a monitor's lock for a scope.
class MonitorLock {
public:
    explicit MonitorLock(Monitor& monitor) : monitor_(monitor) { monitor_.Lock(); }
    ~MonitorLock() { monitor_.Unlock(); }
    MonitorLock(const MonitorLock&) = delete;
    MonitorLock& operator=(const MonitorLock&) = delete;

private:
    Monitor& monitor_;
};

}  // namespace quillo
