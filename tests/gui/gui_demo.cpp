// Shows Quillo at work where nobody can watch: opens the window, fills in a
// source and a destination as a user would, lets a screenshot be taken of the
// window and of its About box, then presses "Generate".
//
// Usage: gui_demo SOURCE DEST
// For each picture it prints "shot NAME LEFT TOP WIDTH HEIGHT" (screen pixels)
// and waits for a line on stdin; it prints "converted" once Quillo has
// written DEST and ended.
#include <windows.h>

#include <exception>
#include <iostream>
#include <string>

#include "expected_layout.h"
#include "message_box.h"
#include "quillo_process.h"
#include "text.h"
#include "window_query.h"
#include "wine_settings.h"

using namespace quillo::gui;

namespace {

constexpr WPARAM kAboutCommand = 0x10;

std::wstring CurrentFolder() {
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    return folder;
}

// Reports where `window` is and waits until the picture has been taken.
void OfferScreenshot(const char* name, HWND window) {
    // Let the window paint its latest texts before anyone looks at it.
    Sleep(500);
    RECT frame;
    GetWindowRect(window, &frame);
    std::cout << "shot " << name << " " << frame.left << " " << frame.top << " "
              << frame.right - frame.left << " " << frame.bottom - frame.top << std::endl;
    std::string taken;
    std::getline(std::cin, taken);
}

void ShowAboutBox(const QuilloProcess& quillo) {
    PostMessageW(quillo.Window().Handle(), WM_SYSCOMMAND, kAboutCommand, 0);
    HWND about = quillo.WaitForDialog("the About box",
                                      [](HWND dialog) { return TextOf(dialog) == kAboutCaption; });
    OfferScreenshot("about", about);
    PostCommand(about, IDOK);
    WaitFor("the About box to close", [about] { return !IsWindow(about); });
}

// Waits for Quillo to end; answers the overwrite question with Yes, since
// the demo replaces its own earlier output. Any other box is a failure.
bool WaitForConversion(const QuilloProcess& quillo) {
    for (;;) {
        if (!quillo.Running()) {
            return true;
        }
        if (!quillo.OtherDialogs().empty()) {
            const MessageBoxView box = MessageBoxView::WaitFor(quillo);
            if (box.Buttons() != std::vector<int>{IDYES, IDNO}) {
                std::cerr << "gui_demo: Quillo says: " << Narrow(box.Text()) << std::endl;
                box.Answer(IDOK);
                return false;
            }
            box.Answer(IDYES);
        }
        Sleep(50);
    }
}

int Demo(const std::wstring& source, const std::wstring& dest) {
    SelfManagedQuilloWindows framesDrawnByWine;
    QuilloProcess quillo(CurrentFolder());
    quillo.Window().Fill(source, dest);
    OfferScreenshot("window", quillo.Window().Handle());
    ShowAboutBox(quillo);

    quillo.Window().Click(control::kGenerate);
    if (!WaitForConversion(quillo)) {
        return 1;
    }
    std::cout << "converted" << std::endl;
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::cerr << "usage: gui_demo SOURCE DEST" << std::endl;
        return 2;
    }
    try {
        return Demo(argv[1], argv[2]);
    } catch (const std::exception& error) {
        std::cerr << "gui_demo: " << error.what() << std::endl;
        return 1;
    }
}
