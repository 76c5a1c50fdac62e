// The three "..." buttons: choose a file, complete its name, and for the
// source propose the destination and the video beside it.
#include <os_file.h>
#include <paths.h>

#include "converter_dlg.h"
#include "framework/file_chooser.h"

namespace {

constexpr char kSourceFilter[] = "Subtitles Files (*.srt)|*.srt|All Files (*.*)|*.*||";
constexpr char kDestFilter[] = "Subtitles Files (*.rt)|*.rt|All Files (*.*)|*.*||";
constexpr char kVideoFilter[] = "Video Files (*.rmvb)|*.rmvb|All Files (*.*)|*.*||";

// Whether the file can be opened now; a file someone else holds open cannot,
// since every open here is exclusive.
bool CanOpenForReading(const std::string& path) {
    quillo::OsFile file;
    if (!file.Open(path, quillo::OsFile::Mode::Read)) {
        return false;
    }
    file.Close();
    return true;
}

}  // namespace

void CConverterDlg::OnBrowseSource() {
    const auto chosen =
        framework::ChooseExistingFile(Handle(), "Open subtitle file.", kSourceFilter);
    if (!chosen) {
        return;
    }
    const quillo::CodePage codePage = quillo::CodePage::System();
    m_strSource = quillo::WithDefaultExtension(*chosen, ".srt", codePage);
    const std::string stem = quillo::Stem(m_strSource, codePage);
    m_strDest = stem + ".rt";
    const std::string video = stem + ".rmvb";
    if (CanOpenForReading(video)) {
        m_strVideo = video;
    }
    PushValues();
}

void CConverterDlg::OnBrowseDest() {
    const auto chosen =
        framework::ChooseExistingFile(Handle(), "Choose destination file.", kDestFilter);
    if (!chosen) {
        return;
    }
    m_strDest = quillo::WithDefaultExtension(*chosen, ".rt", quillo::CodePage::System());
    PushValues();
}

void CConverterDlg::OnBrowseVideo() {
    const auto chosen = framework::ChooseExistingFile(Handle(), "Choose video file.", kVideoFilter);
    if (!chosen) {
        return;
    }
    m_strVideo = quillo::WithDefaultExtension(*chosen, ".rmvb", quillo::CodePage::System());
    PushValues();
}
