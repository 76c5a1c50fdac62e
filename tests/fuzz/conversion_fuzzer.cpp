// The whole run over temporary files, in four settings per input: verified
// into a new destination; unverified in code page 932 over an existing one
// (answered Yes); an existing one answered No; and a full device. Besides
// the exact document and notice of the plain reading of the rules, each run
// must keep the source intact and leave a document that starts with the
// opening lines, ends with the closing ones only when completed, and stops
// with exactly one error notice.
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "code_page.h"
#include "conversion.h"
#include "fuzz_support.h"
#include "messages.h"
#include "reference_model.h"
#include "run_host.h"

namespace quillo::fuzz {
namespace {

struct Shown {
    enum Kind { Question, Error, ReadFailure, WriteFailure } kind;
    std::string text;
    std::string caption;
};

class Host : public RunHost {
public:
    explicit Host(bool answer) : answer_(answer) {}
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        shown.push_back({Shown::Question, text, caption});
        return answer_;
    }
    void ShowError(const std::string& text, const std::string& caption) override {
        shown.push_back({Shown::Error, text, caption});
    }
    void ShowFileFailure(FileOperation operation, const std::string& fullPath) override {
        shown.push_back(
            {operation == FileOperation::Read ? Shown::ReadFailure : Shown::WriteFailure, "",
             fullPath});
    }

    std::vector<Shown> shown;

private:
    bool answer_;
};

enum class Destination { New, ReplacedAfterYes, KeptAfterNo, FullDevice };

struct Setting {
    bool verify;
    bool shiftJis;
    Destination destination;
};

constexpr size_t kBufferSize = 128 * 1024;  // what the writer holds before its first write
constexpr std::string_view kOldDocument = "an older document\r\n";

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

void CheckQuestion(const Shown& shown) {
    Require(shown.kind == Shown::Question && shown.text == messages::kDestExists &&
                shown.caption == messages::kWarningCaption,
            "the overwrite question is not asked as it should be");
}

// What every stopped or completed run into a real file must satisfy, whatever
// the reference says.
void CheckShape(RunOutcome outcome, const std::vector<Shown>& notices, std::string_view document) {
    Require(document.substr(0, std::string_view(kReferenceOpening).size()) == kReferenceOpening,
            "the document does not start with the opening lines");
    if (outcome == RunOutcome::Completed) {
        Require(notices.empty(), "a completed run showed a notice");
        Require(EndsWith(document, kReferenceClosing),
                "a completed document does not end with the closing lines");
    } else {
        Require(notices.size() == 1 && notices[0].kind == Shown::Error &&
                    notices[0].caption == messages::kErrorCaption,
                "a stopped run did not show exactly one error notice");
        Require(!EndsWith(document, kReferenceClosing),
                "a stopped document ends with the closing lines");
    }
}

void Run(std::string_view source, const Setting& setting) {
    const std::string sourcePath = ScratchPath("run.srt");
    const bool onFullDevice = setting.destination == Destination::FullDevice;
    const std::string destPath = onFullDevice ? "/dev/full" : ScratchPath("run.rt");
    if (setting.destination == Destination::New) {
        RemoveFile(destPath);
    } else if (!onFullDevice) {
        WriteFileBytes(destPath, {kOldDocument});
    }

    Host host(setting.destination != Destination::KeptAfterNo);
    const CodePage codePage = setting.shiftJis
                                  ? CodePage::WithLeadByteRanges({{0x81, 0x9F}, {0xE0, 0xFC}})
                                  : CodePage::SingleByte();
    const RunOutcome outcome =
        ConvertSubtitles({sourcePath, destPath, setting.verify}, codePage, host);
    RequireEqual(source, ReadFileBytes(sourcePath), "the run changed its source");

    std::vector<Shown> notices = host.shown;
    if (setting.destination != Destination::New) {
        Require(!notices.empty(), "no overwrite question for an existing destination");
        CheckQuestion(notices.front());
        notices.erase(notices.begin());
    }
    if (setting.destination == Destination::KeptAfterNo) {
        Require(outcome == RunOutcome::Stopped && notices.empty(),
                "declining the overwrite did not end the run quietly");
        RequireEqual(kOldDocument, ReadFileBytes(destPath),
                     "a declined overwrite changed the file");
        return;
    }

    const ReferenceRun expected = ReferenceConversion(source, setting.verify, setting.shiftJis);
    if (onFullDevice) {
        // Nothing reaches the device: the first write, at the latest on closing, fails.
        Require(outcome == RunOutcome::Stopped && !notices.empty(),
                "a full device did not stop the run");
        const Shown& failure = notices.back();
        Require(failure.kind == Shown::WriteFailure && failure.caption == destPath,
                "a full device did not give the write-failure notice for its path");
        notices.pop_back();
        // A document larger than the buffer fails before the entry that stops it.
        const bool fitsTheBuffer = expected.document.size() < kBufferSize;
        const size_t errorNotices = expected.notice.empty() ? 0 : 1;
        Require(fitsTheBuffer ? notices.size() == errorNotices : notices.size() <= errorNotices,
                "a full device run showed other notices than expected");
        if (!notices.empty()) {
            RequireEqual(expected.notice, notices[0].text, "the error notice differs");
        }
        return;
    }

    const std::string document = ReadFileBytes(destPath);
    CheckShape(outcome, notices, document);
    RequireEqual(expected.notice, notices.empty() ? "" : notices[0].text,
                 "the error notice differs");
    RequireEqual(expected.document, document, "the document differs");
}

bool HasFullDevice() {
    struct stat info {};
    return ::stat("/dev/full", &info) == 0 && S_ISCHR(info.st_mode);
}

}  // namespace
}  // namespace quillo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillo::fuzz;
    const std::string_view source(reinterpret_cast<const char*>(data), size);
    WriteFileBytes(ScratchPath("run.srt"), {source});
    Run(source, {true, false, Destination::New});
    Run(source, {false, true, Destination::ReplacedAfterYes});
    Run(source, {true, true, Destination::KeptAfterNo});
    static const bool hasFullDevice = HasFullDevice();
    if (hasFullDevice) {
        Run(source, {false, false, Destination::FullDevice});
    }
    return 0;
}
