#include "worker_thread.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace quillo {
namespace {

void* Enter(void* thread) {
    static_cast<WorkerThread*>(thread)->Enter();
    return nullptr;
}

}  // namespace

bool WorkerThread::Start(void (*run)(void*), void* argument, size_t stackSize) {
    Join();
#ifdef __GLIBC__
    // Memory a second thread, or a second reading, costs must not count
    // against a limit (ulimit -v) that one pass fits in. A thread's first
    // allocation makes glibc reserve an arena of its own, 64 MiB of address
    // space: these threads allocate little, and share the first. And glibc
    // serves large blocks from its heap once one was freed, where a long
    // line's growing copies then lie side by side: they are mapped and
    // unmapped each, as on the first reading.
    static const bool tuned =
        mallopt(M_ARENA_MAX, 1) != 0 && mallopt(M_MMAP_THRESHOLD, 128 * 1024) != 0;
    (void)tuned;
#endif
    run_ = run;
    argument_ = argument;
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) {
        return false;
    }
    // A size below the system's least is refused: the default is kept then.
    (void)pthread_attr_setstacksize(&attributes, stackSize);
    started_ = pthread_create(&thread_, &attributes, &quillo::Enter, this) == 0;
    pthread_attr_destroy(&attributes);
    return started_;
}

void WorkerThread::Join() {
    if (started_) {
        pthread_join(thread_, nullptr);
        started_ = false;
    }
}

Monitor::Monitor() {
    pthread_mutex_init(&mutex_, nullptr);
    pthread_cond_init(&condition_, nullptr);
}

Monitor::~Monitor() {
    pthread_cond_destroy(&condition_);
    pthread_mutex_destroy(&mutex_);
}

void Monitor::Lock() {
    pthread_mutex_lock(&mutex_);
}

void Monitor::Unlock() {
    pthread_mutex_unlock(&mutex_);
}

void Monitor::Wait() {
    pthread_cond_wait(&condition_, &mutex_);
}

void Monitor::NotifyAll() {
    pthread_cond_broadcast(&condition_);
}

}  // namespace quillo
