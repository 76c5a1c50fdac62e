#include "window_run_host.h"

#include <messages.h>

#include "framework/message_box.h"
#include "framework/text_encoding.h"

using framework::ShowMessageBox;
using framework::WideFromUtf8;

bool WindowRunHost::AskYesNo(const std::string& text, const std::string& caption) {
    return ShowMessageBox(owner_, WideFromUtf8(text), WideFromUtf8(caption),
                          MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

void WindowRunHost::ShowError(const std::string& text, const std::string& caption) {
    ShowMessageBox(owner_, WideFromUtf8(text), WideFromUtf8(caption), MB_OK | MB_ICONSTOP);
}

void WindowRunHost::ShowFileFailure(quillo::FileOperation operation, const std::string& fullPath) {
    // The template is our own UTF-8 text; the path is the system's, in the ANSI code page.
    const std::wstring text = framework::ReplacePlaceholder(
        WideFromUtf8(quillo::messages::FileFailureTemplate(operation)),
        framework::WideFromAnsi(fullPath));
    ShowMessageBox(owner_, text, framework::ExecutableTitle(), MB_OK | MB_ICONSTOP);
}
