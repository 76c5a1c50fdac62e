// The whole run, in memory, against the plain reading of the rules: the exact
// document and notice, in three settings per input (verified or not, code
// page 932 or a single-byte one, blocks of every small size, and a
// destination that fills up part-way, as a full disk).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
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
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        shown.push_back({Shown::Question, text, caption});
        return true;
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
};

struct Setting {
    bool verify;
    bool shiftJis;
    size_t readBlock;
    size_t writeBlock;
    size_t capacity;  // of the destination; SIZE_MAX for a disk with room
};

void Run(std::string_view source, const Setting& setting, const ReferenceRun& expected) {
    // The real block size's reader and writer are kept from run to run: under
    // AddressSanitizer each fresh 128 KiB costs page faults.
    static TextReader largeReader(kDefaultBlockSize);
    static TextWriter largeWriter(kDefaultBlockSize);
    std::unique_ptr<TextReader> smallReader;
    std::unique_ptr<TextWriter> smallWriter;
    TextReader* reader = &largeReader;
    TextWriter* writer = &largeWriter;
    if (setting.readBlock != kDefaultBlockSize) {
        reader = (smallReader = std::make_unique<TextReader>(setting.readBlock)).get();
    }
    if (setting.writeBlock != kDefaultBlockSize) {
        writer = (smallWriter = std::make_unique<TextWriter>(setting.writeBlock)).get();
    }

    std::string document;
    reader->AttachMemory(source, "film.srt");
    writer->AttachMemory(document, "film.rt", setting.capacity);
    Host host;
    static const CodePage kShiftJis = CodePage::WithLeadByteRanges({{0x81, 0x9F}, {0xE0, 0xFC}});
    const CodePage& codePage = setting.shiftJis ? kShiftJis : CodePage::SingleByte();
    const RunOutcome outcome =
        ConvertAndClose(*reader, *writer, setting.verify, codePage, host);

    std::vector<Shown> notices = host.shown;
    const bool fits = expected.document.size() <= setting.capacity;
    RequireEqual(std::string_view(expected.document)
                     .substr(0, std::min(expected.document.size(), setting.capacity)),
                 document, [&] {
                     return "the document differs (blocks of " +
                            std::to_string(setting.readBlock) + " and " +
                            std::to_string(setting.writeBlock) + ")";
                 });
    if (!fits) {
        // The write that fills the disk fails; an entry error may come first,
        // when the writing that fails is the last one, on closing.
        Require(outcome == RunOutcome::Stopped && !notices.empty() &&
                    notices.back().kind == Shown::WriteFailure &&
                    notices.back().caption == "film.rt",
                "a full destination did not give the write-failure notice for it");
        notices.pop_back();
        Require(notices.size() <= (expected.notice.empty() ? 0u : 1u),
                "a full destination showed other notices than expected");
    } else {
        Require((outcome == RunOutcome::Completed) == expected.notice.empty(),
                "the run ends otherwise than expected");
        Require(notices.size() == (expected.notice.empty() ? 0u : 1u),
                "the run showed other notices than expected");
    }
    if (!notices.empty()) {
        Require(notices[0].kind == Shown::Error && notices[0].caption == messages::kErrorCaption,
                "an entry error is not an error notice");
        RequireEqual(expected.notice, notices[0].text, "the error notice differs");
    }
}

}  // namespace
}  // namespace quillo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillo::fuzz;
    using quillo::kDefaultBlockSize;
    const std::string_view source(reinterpret_cast<const char*>(data), size);
    // Small blocks and capacities steered by the input's last bytes, so that
    // the fuzzer can aim them at any line.
    const unsigned a = size > 0 ? data[size - 1] : 0;
    const unsigned b = size > 1 ? data[size - 2] : 0;
    const ReferenceRun verified = ReferenceConversion(source, true, false);
    const ReferenceRun unverified = ReferenceConversion(source, false, true);
    Run(source, {true, false, kDefaultBlockSize, kDefaultBlockSize, SIZE_MAX}, verified);
    Run(source, {false, true, 1 + a % 37, b < 128 ? 1 + b % 200 : kDefaultBlockSize, SIZE_MAX},
        unverified);
    const size_t room = verified.document.size() == 0 ? 0 : (a * 257u + b) % verified.document.size();
    Run(source, {true, false, 1 + a % 13, 1 + a % 90, room}, verified);
    return 0;
}
