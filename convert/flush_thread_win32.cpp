#include "flush_thread_win32.h"

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

}  // namespace quillo
