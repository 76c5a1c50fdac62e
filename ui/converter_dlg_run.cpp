// "Generate": convert, write the presentation when asked, and end the window
// only when both went through.
#include <conversion.h>
#include <smil_file.h>

#include "converter_dlg.h"
#include "window_run_host.h"

void CConverterDlg::RunConversion() {
    PullValues();
    const quillo::CodePage codePage = quillo::CodePage::System();
    WindowRunHost host(Handle());

    const quillo::ConversionOptions options{m_bVerifyLineNumbers != 0, codePage, host};
    if (quillo::Convert(quillo::Source::File(m_strSource), quillo::Destination::File(m_strDest),
                        options) != quillo::RunOutcome::Completed) {
        return;  // the user was told why; the window keeps the values to retry with
    }

    quillo::SmilRequest smil;
    smil.create = m_bCreateSmil != 0;
    smil.videoPath = m_strVideo;
    smil.sourcePath = m_strSource;
    smil.destPath = m_strDest;
    if (quillo::WriteSmilFile(smil, codePage, host) != quillo::RunOutcome::Completed) {
        return;
    }
    OnOK();
}
