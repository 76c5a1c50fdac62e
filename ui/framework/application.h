// The application object: the one place where the program starts and ends.
// Exactly one object of a class derived from Application exists; the
// program's entry point runs it.
#pragma once

#include "win32.h"

namespace framework {

// The command issued by F1 (without Shift, Ctrl or Alt) in any dialog.
inline constexpr WORD kHelpCommand = 0xE146;

class Application {
public:
    Application() noexcept;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    virtual ~Application();

    // The application object of this process, or null before it exists.
    static Application* Current() noexcept;

    // The program's whole life after start-up; returns the process exit code.
    virtual int Run() = 0;

    // Commands that no window handled end up here; false when not handled either.
    virtual bool OnCommand(WORD notification, WORD id);
};

}  // namespace framework
