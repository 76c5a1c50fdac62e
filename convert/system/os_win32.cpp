// Win32 files: share mode 0, so that every open fails while anyone else,
// this program included, holds the file.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <atomic>
#include <new>
#include <utility>

#include "os_file.h"

namespace quillo {

// A second thread, which flushes a large temporary while the conversion goes
// on writing it.
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

namespace {

DWORD WINAPI EnterThread(void* thread) {
    static_cast<WorkerThread*>(thread)->Enter();
    return 0;
}

}  // namespace

bool WorkerThread::Start(void (*run)(void*), void* argument, size_t stackSize) {
    Join();
    run_ = run;
    argument_ = argument;
    handle_ = CreateThread(nullptr, stackSize, &EnterThread, this,
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

// A temporary is synced before it replaces a file. Windows has no call that
// starts writing a file out without waiting for it (Linux's
// sync_file_range), so a thread of its own flushes it every few megabytes
// while the conversion goes on, and the sync on closing waits for the last
// few only.
struct OsFile::WriteOut {
    explicit WriteOut(HANDLE handle) : file(handle) {}
    HANDLE file;
    HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::atomic<bool> stop{false};
    WorkerThread thread;
};

namespace {

constexpr uint64_t kWriteOutStep = 8 << 20;

void FlushWhenWoken(void* writeOut) {
    auto& w = *static_cast<OsFile::WriteOut*>(writeOut);
    while (WaitForSingleObject(w.wake, INFINITE) == WAIT_OBJECT_0 && !w.stop.load()) {
        FlushFileBuffers(w.file);  // a failure shows again in the sync on closing
    }
}

}  // namespace

void OsFile::KickWriteOut() {
    if (writeOut_ == nullptr && !writeOutFailed_) {
        writeOut_ = new (std::nothrow) WriteOut{handle_};
        if (writeOut_ == nullptr || writeOut_->wake == nullptr ||
            !writeOut_->thread.Start(&FlushWhenWoken, writeOut_, 64 * 1024)) {
            StopWriteOut();
            writeOutFailed_ = true;
            return;
        }
    }
    if (writeOut_ != nullptr) {
        SetEvent(writeOut_->wake);
    }
}

void OsFile::StopWriteOut() {
    if (writeOut_ == nullptr) {
        return;
    }
    writeOut_->stop.store(true);
    if (writeOut_->wake != nullptr) {
        SetEvent(writeOut_->wake);
    }
    writeOut_->thread.Join();
    if (writeOut_->wake != nullptr) {
        CloseHandle(writeOut_->wake);
    }
    delete writeOut_;
    writeOut_ = nullptr;
}

OsFile::OsFile(OsFile&& other) noexcept
    : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)),
      unflushed_(std::exchange(other.unflushed_, 0)),
      writeOut_(std::exchange(other.writeOut_, nullptr)),
      writeOutFailed_(other.writeOutFailed_),
      owned_(other.owned_),
      syncOnClose_(std::exchange(other.syncOnClose_, false)),
      error_(other.error_) {}

OsFile& OsFile::operator=(OsFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
        unflushed_ = std::exchange(other.unflushed_, 0);
        writeOut_ = std::exchange(other.writeOut_, nullptr);
        writeOutFailed_ = other.writeOutFailed_;
        owned_ = other.owned_;
        syncOnClose_ = std::exchange(other.syncOnClose_, false);
        error_ = other.error_;
    }
    return *this;
}

bool OsFile::Open(const std::string& path, Mode mode) {
    Close();
    const bool read = mode == Mode::Read;
    HANDLE handle =
        CreateFileA(path.c_str(), read ? GENERIC_READ : GENERIC_WRITE, 0, nullptr,
                    read ? OPEN_EXISTING : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return Hold(handle, static_cast<int>(GetLastError()));
}

bool OsFile::Hold(void* handle, int error, bool syncOnClose) {
    if (handle == INVALID_HANDLE_VALUE) {
        error_ = error;
        return false;
    }
    handle_ = handle;
    owned_ = true;
    syncOnClose_ = syncOnClose;
    return true;
}

OsFile OsFile::StandardInput() {
    OsFile file;
    file.handle_ = GetStdHandle(STD_INPUT_HANDLE);
    file.owned_ = false;
    return file;
}

OsFile OsFile::StandardOutput() {
    OsFile file;
    file.handle_ = GetStdHandle(STD_OUTPUT_HANDLE);
    file.owned_ = false;
    return file;
}

bool OsFile::IsOpen() const {
    return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr;
}

std::ptrdiff_t OsFile::Read(char* buffer, size_t size) {
    DWORD count = 0;
    const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    if (!ReadFile(handle_, buffer, want, &count, nullptr)) {
        // A pipe whose writer has gone is an ordinary end of input.
        const DWORD error = GetLastError();
        if (error == ERROR_BROKEN_PIPE) {
            return 0;
        }
        error_ = static_cast<int>(error);
        return -1;
    }
    return static_cast<std::ptrdiff_t>(count);
}

bool OsFile::Write(const char* data, size_t size) {
    while (size > 0) {
        DWORD count = 0;
        const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        if (!WriteFile(handle_, data, want, &count, nullptr)) {
            error_ = static_cast<int>(GetLastError());
            return false;
        }
        if (count == 0) {
            error_ = ERROR_DISK_FULL;
            return false;
        }
        data += count;
        size -= count;
        unflushed_ += count;
    }
    if (syncOnClose_ && unflushed_ >= kWriteOutStep) {
        unflushed_ = 0;
        KickWriteOut();
    }
    return true;
}

bool OsFile::Close() {
    if (!IsOpen()) {
        handle_ = INVALID_HANDLE_VALUE;
        return true;
    }
    StopWriteOut();
    unflushed_ = 0;
    writeOutFailed_ = false;
    HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
    if (!owned_) {
        return true;
    }
    bool closed = true;
    if (std::exchange(syncOnClose_, false) && !FlushFileBuffers(handle)) {
        error_ = static_cast<int>(GetLastError());
        closed = false;
    }
    if (!CloseHandle(handle) && closed) {
        error_ = static_cast<int>(GetLastError());
        closed = false;
    }
    return closed;
}

void OsFile::Discard() {
    StopWriteOut();
    syncOnClose_ = false;
    HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr && owned_) {
        CloseHandle(handle);
    }
}

std::string FullPathOf(const std::string& path) {
    char stackBuffer[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, stackBuffer, nullptr);
    if (length == 0) {
        return path;
    }
    if (length < MAX_PATH) {
        return std::string(stackBuffer, length);
    }
    std::string full(length, '\0');
    length = GetFullPathNameA(path.c_str(), length, full.data(), nullptr);
    full.resize(length);
    return full;
}

}  // namespace quillo
