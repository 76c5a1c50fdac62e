#include <unistd.h>

#include <csignal>

#include "interrupt_cleanup.h"

namespace quillo {
namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE};

// A document and its presentation are written one after the other: two
// slots would do.
constexpr int kSlots = 4;
// Read by the handler, which may run between any two instructions; changed
// only with the signals blocked.
const char* volatile slots[kSlots];

sigset_t EndingSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kEndingSignals) {
        sigaddset(&set, signal);
    }
    return set;
}

extern "C" void RemoveAndEnd(int signal) {
    for (const char* volatile& slot : slots) {
        if (const char* path = slot) {
            ::unlink(path);  // async-signal-safe, as is all this handler does
        }
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);  // delivered on return: the process ends as it would have
}

}  // namespace

void RemoveTemporariesOnInterrupt() {
    struct sigaction action {};
    action.sa_handler = RemoveAndEnd;
    action.sa_mask = EndingSignals();
    for (const int signal : kEndingSignals) {
        struct sigaction old {};
        // nohup, and shells for background jobs, ignore some on purpose.
        if (::sigaction(signal, nullptr, &old) == 0 && old.sa_handler != SIG_IGN) {
            ::sigaction(signal, &action, nullptr);
        }
    }
    std::signal(SIGXFSZ, SIG_IGN);
}

ListedTemporary::ListedTemporary(const std::string& path) : path_(path) {
    const InterruptsHeldOff held;
    for (int i = 0; i < kSlots; ++i) {
        if (slots[i] == nullptr) {
            slots[i] = path_.c_str();
            slot_ = i;
            break;
        }
    }
}

void ListedTemporary::Unlist() {
    if (slot_ >= 0) {
        const InterruptsHeldOff held;
        slots[slot_] = nullptr;
        slot_ = -1;
    }
}

InterruptsHeldOff::InterruptsHeldOff() {
    const sigset_t ending = EndingSignals();
    ::sigprocmask(SIG_BLOCK, &ending, &saved_);
}

InterruptsHeldOff::~InterruptsHeldOff() {
    ::sigprocmask(SIG_SETMASK, &saved_, nullptr);
}

}  // namespace quillo
