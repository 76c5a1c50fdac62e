// Small files with one defect each, and where the check must place it.
#include "subtitle_check.h"
#include "mending_run.h"
#include "sync_points.h"
#include "timing_options.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace quillo {
namespace {

struct Found {
    uint64_t line;
    size_t column;
    std::string code;
    int32_t entry;  // 0 for a problem of the whole file
    bool operator==(const Found& other) const {
        return line == other.line && column == other.column && code == other.code &&
               entry == other.entry;
    }
    friend std::ostream& operator<<(std::ostream& out, const Found& found) {
        return out << found.line << ":" << found.column << " " << found.code << " (entry "
                   << found.entry << ")";
    }
};

class Recorder : public ProblemSink {
public:
    void Report(const Problem& problem) override {
        found.push_back({problem.line, problem.column, std::string(problem.Name()), problem.entry});
    }
    std::vector<Found> found;
};

struct Case {
    const char* defect;
    std::string source;
    std::vector<Found> expected;
    bool verify = true;
    // What --fix makes of it; by default the source with CR LF line ends.
    std::optional<std::string> mended = std::nullopt;
    // A timing option, as given ("--shift=-1.5"): the check and --fix then
    // look at the moved times.
    const char* retime = nullptr;
    // The reading limits the check holds it to; by default none.
    std::optional<ReadingLimits> limits = std::nullopt;
};

// What --fix writes of a file it stops at: nothing.
const std::string kNothingWritten = "(nothing written)";

ReadingLimits WithGap(int64_t milliseconds) {
    ReadingLimits limits = DefaultReadingLimits();
    limits.thousandths[static_cast<size_t>(ReadingLimit::ShortestGap)] = milliseconds;
    return limits;
}

const std::string kTimes = "00:00:01,000 --> 00:00:02,000";
// An override block, tags, a character reference and two-byte UTF-8
// letters, none of which a viewer reads as more than one character.
const std::string kFortyTwo =
    "{\\an8}<i>Caf\xC3\xA9 &amp; cr\xC3\xA8me</i>, a line of forty-two, says \xC3\xA9.";

std::vector<Case> Cases() {
    using namespace std::string_literals;
    return {
        {"a clean file",
         "1\r\n" + kTimes + "\r\nHi\r\n\r\n2\r\n00:00:03,000 --> 00:00:04,000\r\n",
         {}},
        {"a skipped number",
         "1\n" + kTimes +
             "\n\n3\n00:00:03,000 --> 00:00:04,000\n\n4\n"
             "00:00:05,000 --> 00:00:06,000\n",
         {{4, 1, "index-mismatch", 2}},
         true,
         "1\r\n" + kTimes +
             "\r\n\r\n2\r\n00:00:03,000 --> 00:00:04,000\r\n\r\n3\r\n00:00:05,000 --> "
             "00:00:06,000\r\n"},
        {"numbering from 0",
         "0\n" + kTimes + "\n\n1\n00:00:03,000 --> 00:00:04,000\n",
         {{1, 1, "index-mismatch", 1}},
         true,
         "1\r\n" + kTimes + "\r\n\r\n2\r\n00:00:03,000 --> 00:00:04,000\r\n"},
        {"a repeated number",
         "1\n" + kTimes +
             "\n\n1\n00:00:03,000 --> 00:00:04,000\n\n2\n"
             "00:00:05,000 --> 00:00:06,000\n",
         {{4, 1, "index-mismatch", 2}},
         true,
         "1\r\n" + kTimes +
             "\r\n\r\n2\r\n00:00:03,000 --> 00:00:04,000\r\n\r\n3\r\n00:00:05,000 --> "
             "00:00:06,000\r\n"},
        {"unverified numbering", "7\n" + kTimes + "\n", {}, false, "1\r\n" + kTimes + "\r\n"},
        {"'.' before the milliseconds",
         "1\n00:00:01.000 --> 00:00:02,000\n",
         {{2, 9, "time-format", 1}},
         true,
         "1\r\n" + kTimes + "\r\n"},
        {"a number and a time line mended, what follows them kept however long",
         "0 " + std::string(1500, 'x') + "\n00:00:01.000 --> 00:00:02,000 " +
             std::string(1500, 'y') + "\n",
         {{1, 1, "index-mismatch", 1}, {2, 9, "time-format", 1}},
         true,
         "1 " + std::string(1500, 'x') + "\r\n" + kTimes + " " + std::string(1500, 'y') + "\r\n"},
        {"no arrow", "1\n00:00:01,000 00:00:02,000\n", {{2, 14, "time-format", 1}}},
        {"an empty line before the times",
         "1\n\n" + kTimes + "\n",
         {{2, 1, "time-format", 1}},
         true,
         "1\r\n" + kTimes + "\r\n"},
        {"a file ending after an index", "1\n" + kTimes + "\n\n2\n", {{4, 1, "time-format", 2}}},
        {"five broken entries, each found",
         "1\nx\n\n2\nx\n\n3\nx\n\n4\nx\n\n5\nx\n",
         {{2, 1, "time-format", 1},
          {5, 1, "time-format", 2},
          {8, 1, "time-format", 3},
          {11, 1, "time-format", 4},
          {14, 1, "time-format", 5}}},
        {"CR line ends only",
         "1\r" + kTimes + "\rHi\r",
         {{1, 1, "cr-only", 1}},
         true,
         "1\r\n" + kTimes + "\r\nHi\r\n"},
        {"a byte-order mark",
         "\xEF\xBB\xBF"
         "1\n" +
             kTimes + "\n",
         {{1, 1, "bom", 0}, {1, 1, "index-mismatch", 1}},
         true,
         "1\r\n" + kTimes + "\r\n"},
        {"a byte-order mark, unverified",
         "\xEF\xBB\xBF"
         "1\n" +
             kTimes + "\n",
         {{1, 1, "bom", 0}},
         false,
         "1\r\n" + kTimes + "\r\n"},
        {"CR CR LF line ends",
         "1\r\r\n" + kTimes + "\r\r\nHi\r\r\n\r\r\n2\r\r\n" + kTimes + "\r\r\n",
         {{1, 2, "cr-cr-lf", 0}},
         true,
         "1\r\n" + kTimes + "\r\nHi\r\n\r\n2\r\n" + kTimes + "\r\n"},
        {"a Ctrl-Z with text after it, whose line stands as it is",
         "1\n" + kTimes +
             "\nHi\x1A"
             "more\n",
         {{3, 3, "ctrl-z", 0}},
         true,
         "1\r\n" + kTimes + "\r\nHi\x1Amore\n"},
        {"a Ctrl-Z at the very end",
         "1\n" + kTimes + "\nHi\n\x1A",
         {},
         true,
         "1\r\n" + kTimes + "\r\nHi\r\n\x1A"},
        {"a NUL, whose line stands as it is",
         "1\n" + kTimes + "\nH\0i\n"s,
         {{3, 2, "nul", 0}},
         true,
         "1\r\n" + kTimes + "\r\nH\0i\n"s},
        {"an end before the begin",
         "1\n00:00:02,000 --> 00:00:01,000\n",
         {{2, 1, "end-before-begin", 1}}},
        {"an end past the duration",
         "1\n02:59:59,000 --> 03:00:00,001\n",
         {{2, 1, "past-duration", 1}}},
        {"60 minutes", "1\n00:60:00,000 --> 02:00:00,000\n", {{2, 4, "field-range", 1}}},
        {"negative hours", "1\n-1:00:00,000 --> 00:00:01,000\n", {{2, 1, "field-range", 1}}},
        {"two digits of milliseconds",
         "1\n00:00:01,50 --> 00:00:02,000\n",
         {{2, 10, "ms-digits", 1}}},
        {"an entry before the one before it",
         "1\n00:00:05,000 --> 00:00:06,000\n\n2\n00:00:01,000 --> 00:00:02,000\n",
         {{5, 1, "order", 2}}},
        {"an entry over the one before it",
         "1\n00:00:01,000 --> 00:00:03,000\n\n2\n00:00:02,000 --> 00:00:04,000\n",
         {{5, 1, "overlap", 2}}},
        {"a UTF-16 file",
         "\xFF\xFE"
         "1\0\n\0"
         "0\0:\0"s,
         {{1, 1, "encoding", 0}},
         true,
         "1\r\n0:\r\n"},
        {"a UTF-16 file without a byte-order mark whose text is Japanese",
         "\x31\x00\x0D\x00\x0A\x00\x30\x00\x30\x00\x3A\x00\x30\x00\x30\x00\x3A\x00\x30\x00\x31\x00\x2C\x00\x30\x00\x30\x00\x30\x00\x20\x00\x2D\x00\x2D\x00\x3E\x00\x20\x00\x30\x00\x30\x00\x3A\x00\x30\x00\x30\x00\x3A\x00\x30\x00\x34\x00\x2C\x00\x30\x00\x30\x00\x30\x00\x0D\x00\x0A\x00\x0A\x4E\x92\x30\x8B\x89\x66\x30\x0D\x00\x0A\x00"s,
         {{1, 1, "encoding", 0}},
         true,
         "\x31\x0D\x0A\x30\x30\x3A\x30\x30\x3A\x30\x31\x2C\x30\x30\x30\x20\x2D\x2D\x3E\x20\x30\x30"
         "\x3A\x30\x30\x3A\x30\x34\x2C\x30\x30\x30\x0D\x0A\xE4\xB8\x8A\xE3\x82\x92\xE8\xA6\x8B\xE3"
         "\x81\xA6\x0D\x0A"},
        {"a UTF-16 file with a letter that holds the byte of a Ctrl-Z",
         "\xFF\xFE"
         "1\0\n\0\x1A\x04\n\0"
         "x\0"s,
         {{1, 1, "encoding", 0}},
         true,
         "1\r\n\xD0\x9A\r\nx\r\n"},
        {"a UTF-32 file that converts to nothing",
         "\0\0\0"
         "1\0\0\0\n"s,
         {{1, 1, "encoding", 0}},
         true,
         "1\r\n"},
        {"a line of tabs at the end",
         "1\n" + kTimes + "\nHi\n\n\t\t\n",
         {{5, 1, "blank-line", 2}},
         true,
         "1\r\n" + kTimes + "\r\nHi\r\n\r\n\r\n"},
        {"a missing number line",
         "1\n" + kTimes + "\n\n00:00:03,000 --> 00:00:04,000\nHi\n",
         {{4, 1, "missing-index", 2}},
         true,
         "1\r\n" + kTimes + "\r\n\r\n2\r\n00:00:03,000 --> 00:00:04,000\r\nHi\r\n"},
        {"a time line that does not read where a number line should be",
         "00:01:39 --> 00:01:41,04\nHello\n\n2\n00:01:42,000 --> 00:01:43,000\nTwo\n",
         {{1, 1, "missing-index", 1}},
         true,
         "1\r\n00:01:39,000 --> 00:01:41,04\r\nHello\r\n\r\n2\r\n00:01:42,000 --> "
         "00:01:43,000\r\nTwo\r\n"},
        {"a wrong number line that holds an arrow but no clock",
         "1\n" + kTimes + "\nA\n\n3 -->\n00:00:03,000 --> 00:00:04,000\nB\n",
         {{5, 1, "index-mismatch", 2}},
         true,
         "1\r\n" + kTimes + "\r\nA\r\n\r\n2 -->\r\n00:00:03,000 --> 00:00:04,000\r\nB\r\n"},
        {"a missing number line behind a byte-order mark",
         "\xEF\xBB\xBF" + kTimes + "\nA\n\n2\n00:00:03,000 --> 00:00:04,000\nB\n",
         {{1, 1, "bom", 0}, {1, 1, "missing-index", 1}},
         true,
         "1\r\n" + kTimes + "\r\nA\r\n\r\n2\r\n00:00:03,000 --> 00:00:04,000\r\nB\r\n"},
        {"'.' before two digits of milliseconds, which keep their reading",
         "1\n00:02:12.16 --> 00:02:13,000\n",
         {{2, 9, "time-format", 1}},
         true,
         "1\r\n00:02:12,16 --> 00:02:13,000\r\n"},
        {"a time line without milliseconds",
         "1\n00:00:01 --> 00:00:10\n",
         {{2, 9, "time-format", 1}},
         true,
         "1\r\n00:00:01,000 --> 00:00:10,000\r\n"},
        {"CR line ends, and an LF at the end",
         "1\r" + kTimes + "\rHi\r\r2\r00:00:03,000 --> 00:00:04,000\rThere\r\n",
         {{1, 1, "cr-only", 1}},
         true,
         "1\r\n" + kTimes + "\r\nHi\r\n\r\n2\r\n00:00:03,000 --> 00:00:04,000\r\nThere\r\n"},
        {"CR line ends after a byte-order mark, and CR CR LF at the end",
         "\xEF\xBB\xBF"
         "1\r" +
             kTimes + "\rHi\r\r\n",
         {{1, 1, "bom", 0}, {1, 1, "cr-only", 1}},
         true,
         "1\r\n" + kTimes + "\r\nHi\r\n\r\n"},
        {"a missing empty line between entries",
         "1\n" + kTimes + "\nHello\n2\n00:00:03,000 --> 00:00:04,000\nWorld\n",
         {{5, 1, "time-in-text", 1}}},
        {"an empty file", "", {{1, 1, "no-entries", 0}}},
        {"a '<' that begins no tag", "1\n" + kTimes + "\nI <3 you\n", {{3, 3, "markup", 1}}},
        {"character codes, one the player cannot show",
         "1\n" + kTimes + "\nCaf&#233; &#xE9; &#8364;\n",
         {{3, 18, "markup", 1}}},
        {"an italic left open",
         "1\n" + kTimes + "\n<i>Hi\n",
         {{3, 1, "unclosed-tag", 1}},
         true,
         "1\r\n" + kTimes + "\r\n<i>Hi</i>\r\n"},
        {"an override block", "1\n" + kTimes + "\n{\\an8}Hi\n", {{3, 1, "override-tag", 1}}},
        {"an entry of a millisecond",
         "1\n00:00:00,000 --> 00:00:00,001\n",
         {{2, 1, "zero-length", 1}}},
        {"a number past 32 bits", "4294967297\n" + kTimes + "\n", {{1, 1, "overflow", 1}}},
        {"hours past 32 bits",
         "1\n4294967296:00:01,000 --> 00:00:02,000\n",
         {{2, 1, "overflow", 1}}},
        {"a shift, only the numbers of the time line moved",
         "1\n00:00:01,000 --> 00:00:02,000 X1:10\nHi\n",
         {},
         true,
         "1\r\n00:00:02,500 --> 00:00:03,500 X1:10\r\nHi\r\n",
         "--shift=+1.5"},
        {"a shift that keeps each field's digits, and gives hours one more",
         "1\n9:59:59,5 --> 99:59:59,999\n",
         {{2, 1, "past-duration", 1}, {2, 9, "ms-digits", 1}},
         true,
         "1\r\n10:00:00,5 --> 100:00:00,999\r\n",
         "--shift=1"},
        {"a begin shifted before 0:00, its end after",
         "1\n" + kTimes + "\n",
         {{2, 1, "retime-clamp", 1}},
         true,
         "1\r\n00:00:00,000 --> 00:00:00,500\r\n",
         "--shift=-1.5"},
        {"two begins clamped, the second over the first",
         "1\n00:00:01,000 --> 00:00:03,000\n\n2\n00:00:02,000 --> 00:00:04,000\n",
         {{2, 1, "retime-clamp", 1}, {5, 1, "retime-clamp", 2}, {5, 1, "overlap", 2}},
         true,
         "1\r\n00:00:00,000 --> 00:00:00,500\r\n\r\n2\r\n00:00:00,000 --> 00:00:01,500\r\n",
         "--shift=-00:00:02,500"},
        {"an entry shifted wholly before 0:00",
         "1\n" + kTimes + "\n",
         {{2, 1, "retime", 1}},
         true,
         kNothingWritten,
         "--shift=-3"},
        {"an end shifted past 99999:59:59,999",
         "1\n99999:59:59,500 --> 99999:59:59,999\n",
         {{2, 1, "retime", 1}},
         true,
         kNothingWritten,
         "--shift=0.001"},
        {"PAL's speed-up",
         "1\n01:00:00,000 --> 01:00:02,000\n",
         {},
         true,
         "1\r\n00:57:32,544 --> 00:57:34,462\r\n",
         "--fps=23.976:25"},
        {"halves rounded away from zero",
         "1\n00:00:00,001 --> 00:00:00,003\n",
         {{2, 1, "zero-length", 1}},
         true,
         "1\r\n00:00:00,001 --> 00:00:00,002\r\n",
         "--fps=1:2"},
        {"a two-point sync",
         "1\n00:00:01,000 --> 00:00:02,000\n\n2\n00:00:03,000 --> 00:00:04,000\n",
         {},
         true,
         "1\r\n00:00:10,000 --> 00:00:20,000\r\n\r\n2\r\n00:00:30,000 --> 00:00:40,000\r\n",
         "--sync=1@0:00:10,2@30"},
        {"a time line mended, then moved",
         "1\n00:00:01.000 --> 00:00:02,000\n",
         {{2, 9, "time-format", 1}},
         true,
         "1\r\n00:00:02,000 --> 00:00:03,000\r\n",
         "--shift=1"},
        {"a NUL, from which --fix would leave the times unmoved",
         "1\n" + kTimes + "\nH\0i\n"s,
         {{3, 2, "nul", 0}},
         true,
         kNothingWritten,
         "--shift=1"},
        // 42 characters as a viewer reads them, and a line break: 46 in 2.3 s
        // is 20 a second, in 2.299 s more. "|" starts a line.
        {"text a viewer cannot read in time, at the defaults",
         "1\n00:00:01,000 --> 00:00:03,300\n" + kFortyTwo +
             "\nHi.\n\n2\n00:00:04,000 --> "
             "00:00:06,299\n" +
             kFortyTwo +
             "\nHi.\n\n3\n00:00:07,000 --> 00:00:07,699\na|b\nc\n\n"
             "4\n00:00:08,000 --> 00:00:15,001\nForty-three characters make this line long.\n\n"
             "5\n00:00:30,000 --> 00:00:30,100\n",
         {{3, 1, "override-tag", 1},
          {8, 1, "override-tag", 2},
          {7, 1, "reading-speed", 2},
          {12, 1, "short-duration", 3},
          {14, 1, "line-count", 3},
          {17, 1, "long-duration", 4},
          {18, 1, "line-length", 4}},
         true,
         std::nullopt,
         nullptr,
         DefaultReadingLimits()},
        {"a gap after the entry with text before, shorter than the limit",
         "1\n00:00:01,000 --> 00:00:02,000\nHi\n\n2\n00:00:02,000 --> 00:00:02,050\n\n3\n"
         "00:00:02,099 --> 00:00:03,100\nYo\n\n4\n00:00:03,200 --> 00:00:04,200\nOk\n",
         {{9, 1, "gap", 3}},
         true,
         std::nullopt,
         nullptr,
         WithGap(100)},
    };
}

// The source with CR LF line ends, as --fix leaves what it does not mend.
std::string WithCrLf(const std::string& source) {
    std::string lines;
    for (size_t at = 0; at < source.size();) {
        size_t lf = source.find('\n', at);
        const size_t end = lf == std::string::npos ? source.size() : lf;
        const size_t stop = end > at && source[end - 1] == '\r' ? end - 1 : end;
        lines += source.substr(at, stop - at) + "\r\n";
        at = end + 1;
    }
    return lines;
}

// The map of a case's timing option, found as srt2rt finds it.
std::optional<TimeMap> CaseMap(const Case& c) {
    if (c.retime == nullptr) {
        return std::nullopt;
    }
    const std::string_view option = c.retime;
    const size_t equals = option.find('=') + 1;
    const std::string_view value = option.substr(equals);
    TimingRequest request;
    std::string error;
    const bool read = option.substr(0, equals) == "--shift=" ? ReadShift(value, request, error)
                      : option.substr(0, equals) == "--fps=" ? ReadFps(value, request, error)
                                                             : ReadSync(value, request, error);
    EXPECT_TRUE(read) << c.defect << ": " << error;
    if (request.syncPoints == 0) {
        return MapOf(request);
    }
    TextReader reader;
    reader.AttachMemory(c.source, "film.srt");
    SyncStarts starts(request);
    ReadEntries(reader, starts);
    TimeMap map;
    uint64_t line;
    int32_t entry;
    EXPECT_TRUE(starts.Resolve(map, error, line, entry)) << c.defect << ": " << error;
    return map;
}

std::string Mended(const std::string& source, const TimeMap* map = nullptr) {
    class Quiet : public ProblemSink {
        void Report(const Problem&) override {}
    } quiet;
    MendingReader reader(7);  // small blocks, so that lines and units cross them
    reader.AttachMemory(source, "film.srt");
    std::string mended;
    TextWriter out(5);
    out.AttachMemory(mended, "mended.srt");
    SubtitleCheck check(true, quiet);
    try {
        MendAndCheck(reader, out, quiet, check, map);
    } catch (const RetimingStopped&) {
        return kNothingWritten;
    }
    out.Close();
    return mended;
}

TEST(SubtitleCheck, FindsEachDefectWhereItIs) {
    for (const Case& c : Cases()) {
        TextReader reader(7);  // small blocks, so that lines cross them
        reader.AttachMemory(c.source, "film.srt");
        Recorder recorder;
        const std::optional<TimeMap> map = CaseMap(c);
        SubtitleCheck check(c.verify, recorder);
        if (map) {
            check.RetimeWith(*map);
        }
        const CodePage bytes = CodePage::SingleByte();
        if (c.limits) {
            check.ReadAgainst(*c.limits, bytes);
        }
        check.Run(reader);
        const CheckCounts counts = check.Counts();
        EXPECT_EQ(recorder.found, c.expected) << c.defect;
        EXPECT_EQ(counts.errors + counts.warnings, c.expected.size()) << c.defect;
        EXPECT_EQ(Mended(c.source, map ? &*map : nullptr), c.mended.value_or(WithCrLf(c.source)))
            << c.defect;
    }
}

}  // namespace
}  // namespace quillo
