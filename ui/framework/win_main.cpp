// The process entry point: start-up common to every program on this framework,
// then the application object takes over.
#include <exception>

#include "application.h"
#include "message_box.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Opening a file on a drive without a medium must simply fail, not ask
    // the user to insert one.
    SetErrorMode(SEM_FAILCRITICALERRORS);

    framework::Application* application = framework::Application::Current();
    if (application == nullptr) {
        return 1;
    }
    try {
        return application->Run();
    } catch (const std::exception& error) {
        framework::ShowUnexpectedError(nullptr, error.what());
    } catch (...) {
        framework::ShowUnexpectedError(nullptr, nullptr);
    }
    return 1;
}
