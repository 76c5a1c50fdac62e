#include "converter_app.h"

#include <commctrl.h>

#include "converter_dlg.h"
#include "framework/message_box.h"
#include "framework/text_encoding.h"

namespace {

// No help file ships with the program, so F1 explains the window in place.
constexpr char kHelpText[] =
    "Quillo converts a SubRip subtitle file (.srt) into a RealText document (.rt).\n"
    "\n"
    "Source: the subtitle file to convert. Its \"...\" button proposes the destination "
    "and, when one is beside it, the video of the same name.\n"
    "Destination: the RealText document to write.\n"
    "Create .smil file: also write a SMIL presentation, beside the source, that plays "
    "the video with the subtitles.\n"
    "Video: the video (.rmvb) the presentation plays.\n"
    "Verify line number.: stop at the first entry whose number is not its position in "
    "the file (1, 2, 3...). Untick it for files numbered otherwise.\n"
    "\n"
    "Generate converts and closes the window; Annuler closes it without converting.";

}  // namespace

// The one application object of the process.
CConverterApp theApp;

framework::CommandTable<CConverterApp> CConverterApp::Commands() {
    static constexpr framework::CommandRow<CConverterApp> kRows[] = {
        {0, framework::kHelpCommand, &CConverterApp::OnHelp},
    };
    return kRows;
}

bool CConverterApp::OnCommand(WORD notification, WORD id) {
    return framework::DispatchCommand(*this, Commands(), notification, id);
}

int CConverterApp::Run() {
    // Registers the common control classes, themed through the manifest.
    InitCommonControls();

    // The command line is not read: the window is all there is.
    CConverterDlg dialog;
    dialog.DoModal(nullptr);
    return 0;
}

void CConverterApp::OnHelp() {
    framework::ShowMessageBox(GetActiveWindow(), framework::WideFromUtf8(kHelpText),
                              framework::ExecutableTitle(), MB_OK | MB_ICONINFORMATION);
}
