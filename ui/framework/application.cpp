#include "application.h"

namespace framework {
namespace {

// Constant-initialised, so it is set correctly whatever order the program's
// static objects are built in.
Application* currentApplication = nullptr;

}  // namespace

Application::Application() noexcept {
    currentApplication = this;
}

Application::~Application() {
    if (currentApplication == this) {
        currentApplication = nullptr;
    }
}

Application* Application::Current() noexcept {
    return currentApplication;
}

bool Application::OnCommand(WORD, WORD) {
    return false;
}

}  // namespace framework
