#include "problem_codes.h"

#include <iterator>

namespace quillo {

constexpr ProblemCodeInfo kProblemCodes[kProblemCodeCount] = {
    {ProblemCode::DestinationExists, "destination-exists", Severity::Error,
     "the destination exists: replace it?"},
    {ProblemCode::CannotOpenDest, "cannot-create", Severity::Error,
     "the destination cannot be created"},
    {ProblemCode::DestinationIsFolder, "destination-is-folder", Severity::Error,
     "a folder stands where the destination would go"},
    {ProblemCode::CannotOpenSmil, "cannot-create-smil", Severity::Error,
     "the presentation cannot be created"},
    {ProblemCode::WriteError, "write-error", Severity::Error, "a write fails part-way"},
    {ProblemCode::CannotReplace, "cannot-replace", Severity::Error,
     "the complete document cannot be renamed over the destination"},
    {ProblemCode::OutOfMemory, "out-of-memory", Severity::Error,
     "a line is too long to hold in memory"},
    {ProblemCode::UnsureEncoding, "unsure-encoding", Severity::Error,
     "mended in place from an encoding told without a byte-order mark, with errors left: the "
     "source is kept"},
    {ProblemCode::IndexMismatch, "index-mismatch", Severity::Error,
     "an entry's number is neither its ordinal nor the previous number plus one (with "
     "verification)"},
    {ProblemCode::TimeFormat, "time-format", Severity::Error,
     "the time line does not read; the message names the likely cause (\".\", no \"-->\", an "
     "empty line)"},
    {ProblemCode::CrOnly, "cr-only", Severity::Error,
     "CR line ends and no LF: the file reads as one line"},
    {ProblemCode::Encoding, "encoding", Severity::Error,
     "the file is UTF-16 or UTF-32 (by its byte-order mark, or by NUL in every second or "
     "fourth byte, for UTF-16 in most), which srt2rt does not convert: srt2rt --fix transcodes it "
     "to UTF-8; reported "
     "in place of everything its bytes bring about"},
    {ProblemCode::BlankLine, "blank-line", Severity::Error,
     "a line of only blanks or tabs stands where an entry would start: it is not empty, so it "
     "starts an entry"},
    {ProblemCode::MissingIndex, "missing-index", Severity::Error,
     "the line read as an entry's number is a time line: the number line is missing"},
    {ProblemCode::CannotOpen, "cannot-open", Severity::Error, "the source cannot be opened"},
    {ProblemCode::ReadError, "read-error", Severity::Error, "a read fails part-way"},
    {ProblemCode::Bom, "bom", Severity::Warning,
     "a UTF-8 byte-order mark (it spoils entry 1's number unless --no-verify)"},
    {ProblemCode::CrCrLf, "cr-cr-lf", Severity::Warning,
     "lines end CR CR LF: the entries after the first join one (once a file)"},
    {ProblemCode::CtrlZ, "ctrl-z", Severity::Warning,
     "a Ctrl-Z ends the file there and something follows it"},
    {ProblemCode::Nul, "nul", Severity::Warning, "a NUL cuts its line there; the rest is lost"},
    {ProblemCode::EndBeforeBegin, "end-before-begin", Severity::Warning,
     "the end is at or before the begin"},
    {ProblemCode::PastDuration, "past-duration", Severity::Warning,
     "the end is past 3:00:00.000, the document's duration"},
    {ProblemCode::FieldRange, "field-range", Severity::Warning,
     "hours below 0, minutes or seconds outside 0-59, milliseconds outside 0-999"},
    {ProblemCode::MsDigits, "ms-digits", Severity::Warning,
     "milliseconds not written with three digits (\"01,50\" is 50 ms)"},
    {ProblemCode::Order, "order", Severity::Warning, "it begins before the previous entry begins"},
    {ProblemCode::Overlap, "overlap", Severity::Warning,
     "otherwise, it begins before the previous entry ends (its <clear/> cuts that one short)"},
    {ProblemCode::NoEntries, "no-entries", Severity::Warning,
     "the file has no entries: the document will be empty"},
    {ProblemCode::Markup, "markup", Severity::Warning,
     "a \"<\" that begins no RealText tag, or an \"&\" that begins no character reference "
     "RealText knows: the player reads it as markup (write &lt; or &amp;); or a numeric code "
     "(&#NNN;, &#xHH;) outside ISO 8859-1's printable characters, which it cannot show"},
    {ProblemCode::UnclosedTag, "unclosed-tag", Severity::Warning,
     "an entry opens <b>, <i>, <u>, <s> or <font> and does not close it: the style runs into "
     "the entries after it"},
    {ProblemCode::OverrideTag, "override-tag", Severity::Warning,
     "a {\\...} override block (ASS/SSA style): the player shows it as text"},
    {ProblemCode::ZeroLength, "zero-length", Severity::Warning,
     "the end is after the begin, but both print as the same centisecond: it shows for no time"},
    {ProblemCode::Overflow, "overflow", Severity::Warning,
     "a number does not fit in 32 bits: it reads as another (4294967297 as 1)"},
    {ProblemCode::SplitCharacter, "split-character", Severity::Warning,
     "in a line that is not UTF-8, a \"|\" that a double-byte code page takes for the second "
     "byte of a character: it becomes <BR> and cuts the character in two unless --codepage "
     "names that code page (without --codepage only)"},
    {ProblemCode::LfLineEnds, "lf", Severity::Fixed,
     "lines end LF alone: they convert as they stand, and --fix ends them CR LF as the window "
     "writes its files (said by --fix only, once a file)"},
    {ProblemCode::TimeInText, "time-in-text", Severity::Warning,
     "a text line reads as a time line: the empty line before it is missing, so the entry it "
     "starts joins the one before, its times shown as text"},
    {ProblemCode::Retime, "retime", Severity::Error,
     "a timing option (--shift, --fps, --sync) would move a time before 0:00 or past "
     "99999:59:59,999, or --sync cannot find or read an entry it names: the conversion stops "
     "there"},
    {ProblemCode::RetimeClamp, "retime-clamp", Severity::Warning,
     "a timing option moves an entry's begin before 0:00 while its end stays after it: the "
     "entry begins at 0:00 (--fix says so as a fix)"},
    // The reading limits: --check's at their defaults, a conversion's only
    // where its command line sets them.
    {ProblemCode::ReadingSpeed, "reading-speed", Severity::Warning,
     "an entry's text reads at more characters a second than --max-cps (20): tags left out, "
     "a \"|\" or line break counted as one space, a multi-byte character as one"},
    {ProblemCode::LineLength, "line-length", Severity::Warning,
     "a line of more characters than --max-line (42), counted so; a \"|\" starts a line"},
    {ProblemCode::LineCount, "line-count", Severity::Warning,
     "an entry of more lines than --max-lines (2), a \"|\" starting one: the window is 50 "
     "pixels high"},
    {ProblemCode::ShortDuration, "short-duration", Severity::Warning,
     "an entry with text shown for less than --min-duration (0.7 s)"},
    {ProblemCode::LongDuration, "long-duration", Severity::Warning,
     "an entry with text shown for more than --max-duration (7 s)"},
    {ProblemCode::Gap, "gap", Severity::Warning,
     "an entry with text starts less than --min-gap after the one with text before it ends, "
     "which the eye reads as a flicker (0, off, by default)"},
};

namespace {

constexpr bool TableFollowsTheCodes() {
    for (size_t i = 0; i < std::size(kProblemCodes); ++i) {
        if (static_cast<size_t>(kProblemCodes[i].code) != i) {
            return false;
        }
    }
    return true;
}
}  // namespace

static_assert(TableFollowsTheCodes(), "kProblemCodes lists every code, in their order");

}  // namespace quillo
