#include "worker_thread.h"

#include <windows.h>

namespace quillo {
namespace {

DWORD WINAPI Enter(void* thread) {
    static_cast<WorkerThread*>(thread)->Enter();
    return 0;
}

}  // namespace

bool WorkerThread::Start(void (*run)(void*), void* argument, size_t stackSize) {
    Join();
    run_ = run;
    argument_ = argument;
    handle_ = CreateThread(nullptr, stackSize, &quillo::Enter, this,
                           STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    started_ = handle_ != nullptr;
    return started_;
}

void WorkerThread::Join() {
    if (started_) {
        WaitForSingleObject(handle_, INFINITE);
        CloseHandle(handle_);
        handle_ = nullptr;
        started_ = false;
    }
}

// SRWLOCK_INIT and CONDITION_VARIABLE_INIT are a null pointer each.
static_assert(sizeof(SRWLOCK) == sizeof(void*) && sizeof(CONDITION_VARIABLE) == sizeof(void*));

Monitor::Monitor() = default;
Monitor::~Monitor() = default;

void Monitor::Lock() {
    AcquireSRWLockExclusive(reinterpret_cast<PSRWLOCK>(&lock_));
}

void Monitor::Unlock() {
    ReleaseSRWLockExclusive(reinterpret_cast<PSRWLOCK>(&lock_));
}

void Monitor::Wait() {
    SleepConditionVariableSRW(reinterpret_cast<PCONDITION_VARIABLE>(&condition_),
                              reinterpret_cast<PSRWLOCK>(&lock_), INFINITE, 0);
}

void Monitor::NotifyAll() {
    WakeAllConditionVariable(reinterpret_cast<PCONDITION_VARIABLE>(&condition_));
}

}  // namespace quillo
