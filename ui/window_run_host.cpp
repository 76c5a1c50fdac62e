#include "window_run_host.h"

#include <messages.h>

#include "framework/message_box.h"
#include "framework/text_encoding.h"

using framework::ShowMessageBox;
using framework::WideFromUtf8;

bool WindowRunHost::Ask(const quillo::Problem& question) {
    return ShowMessageBox(owner_, WideFromUtf8(quillo::messages::WindowText(question)),
                          WideFromUtf8(quillo::messages::WindowCaption(question.code)),
                          MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

void WindowRunHost::Report(const quillo::Problem& notice) {
    if (notice.code == quillo::ProblemCode::OutOfMemory) {
        framework::ShowUnexpectedError(owner_, "std::bad_alloc");  // as before the core caught it
        return;
    }
    const std::wstring text = WideFromUtf8(quillo::messages::WindowText(notice));
    if (notice.code != quillo::ProblemCode::ReadError &&
        notice.code != quillo::ProblemCode::WriteError) {
        ShowMessageBox(owner_, text, WideFromUtf8(quillo::messages::WindowCaption(notice.code)),
                       MB_OK | MB_ICONSTOP);
        return;
    }
    // The text is our own UTF-8; the path is the system's, in the ANSI code page.
    ShowMessageBox(owner_,
                   framework::ReplacePlaceholder(text, framework::WideFromAnsi(notice.file)),
                   framework::ExecutableTitle(), MB_OK | MB_ICONSTOP);
}
