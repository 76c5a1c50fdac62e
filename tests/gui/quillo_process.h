// One running Quillo.exe: started in a chosen working folder, found by its
// converter window, and never left behind (terminated when the object goes).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "converter_window.h"
#include "unique_handle.h"
#include "wait.h"

namespace quillo::gui {

// Where the program under test is; a Unix path is taken as Wine's Z: drive.
std::wstring QuilloExecutable();

// A path as Windows programs take it: a Unix path names Wine's Z: drive.
std::wstring WindowsPath(std::wstring path);

class QuilloProcess {
public:
    // Starts Quillo.exe in `workingFolder` with `arguments` after its name,
    // and waits until its converter window is up.
    explicit QuilloProcess(const std::wstring& workingFolder, const std::wstring& arguments = L"");
    ~QuilloProcess();
    QuilloProcess(const QuilloProcess&) = delete;
    QuilloProcess& operator=(const QuilloProcess&) = delete;

    const ConverterWindow& Window() const { return window_; }
    DWORD Id() const { return processId_; }

    bool Running() const;
    // Waits for the process to end and returns its exit code.
    DWORD WaitForExit(Milliseconds timeout = kStepTimeout) const;
    // True when the process is still running, with its window, a moment later.
    bool StaysOpen() const;

    // A visible dialog of the process other than the converter window that
    // `accept` takes; waits for it.
    HWND WaitForDialog(const std::string& what, const std::function<bool(HWND)>& accept,
                       Milliseconds timeout = kStepTimeout) const;
    // The visible dialogs of the process other than the converter window.
    std::vector<HWND> OtherDialogs() const;

private:
    void Terminate();

    UniqueHandle job_;
    UniqueHandle process_;
    UniqueHandle thread_;
    DWORD processId_ = 0;
    DWORD threadId_ = 0;
    ConverterWindow window_{nullptr};
};

}  // namespace quillo::gui
