#include "quillo_process.h"

#include <chrono>
#include <cstdlib>
#include <stdexcept>

#include "text.h"
#include "window_query.h"

namespace quillo::gui {

namespace {

constexpr wchar_t kDialogClass[] = L"#32770";

// Ties the program's life to ours: should the test process die, the job's
// last handle closes and takes Quillo with it.
UniqueHandle KillOnCloseJob() {
    UniqueHandle job(CreateJobObjectW(nullptr, nullptr));
    if (job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                                sizeof limits);
    }
    return job;
}

// Wine reuses process identifiers at once, and the windows of a process that
// has just ended can outlive it for a moment: the window must also belong to
// the thread we started.
HWND FindConverterWindow(DWORD processId, DWORD threadId) {
    for (HWND window : TopLevelWindowsOf(processId)) {
        if (GetWindowThreadProcessId(window, nullptr) == threadId &&
            ClassNameOf(window) == kDialogClass && IsShown(window)) {
            wchar_t caption[128] = {};
            GetWindowTextW(window, caption, 128);
            if (std::wstring(caption) == kConverterCaption) {
                return window;
            }
        }
    }
    return nullptr;
}

}  // namespace

std::wstring QuilloExecutable() {
    const wchar_t* chosen = _wgetenv(L"QUILLO_EXE");
    return WindowsPath(chosen && *chosen ? std::wstring(chosen) : Widen(QUILLO_EXE_PATH));
}

std::wstring WindowsPath(std::wstring path) {
    if (!path.empty() && path[0] == L'/') {
        path = L"Z:" + path;
    }
    for (wchar_t& ch : path) {
        if (ch == L'/') {
            ch = L'\\';
        }
    }
    return path;
}

QuilloProcess::QuilloProcess(const std::wstring& workingFolder, const std::wstring& arguments) {
    const std::wstring executable = QuilloExecutable();
    std::wstring commandLine = L"\"" + executable + L"\"";
    if (!arguments.empty()) {
        commandLine += L" " + arguments;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED, nullptr, workingFolder.c_str(), &startup, &info)) {
        throw std::runtime_error("cannot start " + Narrow(executable) + " (error " +
                                 std::to_string(GetLastError()) + ")");
    }
    process_ = UniqueHandle(info.hProcess);
    thread_ = UniqueHandle(info.hThread);
    processId_ = info.dwProcessId;
    threadId_ = info.dwThreadId;
    job_ = KillOnCloseJob();
    if (job_) {
        AssignProcessToJobObject(job_.get(), process_.get());
    }
    ResumeThread(thread_.get());
    try {
        window_ = ConverterWindow(WaitFor("the converter window of Quillo", [this] {
            return FindConverterWindow(processId_, threadId_);
        }));
    } catch (...) {
        // No destructor runs for a half-built object: end the program here.
        Terminate();
        throw;
    }
}

QuilloProcess::~QuilloProcess() {
    Terminate();
    // Let the windows of the ended process go before the next test looks for
    // its own, so no test ever finds a window of this one.
    const auto deadline = std::chrono::steady_clock::now() + kStepTimeout;
    while (!TopLevelWindowsOf(processId_).empty() && std::chrono::steady_clock::now() < deadline) {
        Sleep(15);
    }
}

void QuilloProcess::Terminate() {
    if (process_ && Running()) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
}

bool QuilloProcess::Running() const {
    return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

DWORD QuilloProcess::WaitForExit(Milliseconds timeout) const {
    if (WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        throw GuiTimeout("Quillo to exit");
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

bool QuilloProcess::StaysOpen() const {
    Sleep(static_cast<DWORD>(kSettleTime.count()));
    return Running() && IsWindow(window_.Handle()) && IsShown(window_.Handle());
}

std::vector<HWND> QuilloProcess::OtherDialogs() const {
    std::vector<HWND> dialogs;
    for (HWND window : TopLevelWindowsOf(processId_)) {
        if (window != window_.Handle() && ClassNameOf(window) == kDialogClass && IsShown(window)) {
            dialogs.push_back(window);
        }
    }
    return dialogs;
}

HWND QuilloProcess::WaitForDialog(const std::string& what, const std::function<bool(HWND)>& accept,
                                  Milliseconds timeout) const {
    return WaitFor(
        what,
        [&]() -> HWND {
            if (!Running()) {
                throw std::runtime_error("Quillo ended while waiting for " + what);
            }
            for (HWND dialog : OtherDialogs()) {
                if (accept(dialog)) {
                    return dialog;
                }
            }
            return nullptr;
        },
        timeout);
}

}  // namespace quillo::gui
