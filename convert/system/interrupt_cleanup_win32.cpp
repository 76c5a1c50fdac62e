#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "interrupt_cleanup.h"
#include "wide_path_win32.h"

namespace quillo {
namespace {

constexpr int kSlots = 4;
const wchar_t* slots[kSlots];
// The console handler runs on a thread of its own; this keeps it and the
// main thread's renames apart. Only the main thread holds interrupts off,
// and it may do so within itself: `depth` counts how deep.
SRWLOCK lock = SRWLOCK_INIT;
int depth = 0;

BOOL WINAPI RemoveAndEnd(DWORD) {
    // Taken for good: whatever the main thread does next waits until the
    // process ends.
    AcquireSRWLockExclusive(&lock);
    for (const wchar_t* path : slots) {
        if (path != nullptr) {
            DeleteFileW(path);  // the file is shared for deleting
        }
    }
    // Ended here, as Windows' own handler ends a program at Ctrl-C: a run that
    // was stopped never exits 0 (under Wine the default handler's status is).
    ExitProcess(static_cast<UINT>(STATUS_CONTROL_C_EXIT));
}

}  // namespace

void RemoveTemporariesOnInterrupt() {
    SetConsoleCtrlHandler(RemoveAndEnd, TRUE);
}

ListedTemporary::ListedTemporary(const std::string& path) : path_(SystemPath(path)) {
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
    if (depth++ == 0) {
        AcquireSRWLockExclusive(&lock);
    }
}

InterruptsHeldOff::~InterruptsHeldOff() {
    if (--depth == 0) {
        ReleaseSRWLockExclusive(&lock);
    }
}

}  // namespace quillo
