// Small files with one defect each, and where the check must place it.
#include "subtitle_check.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace quillo {
namespace {

struct Found {
    uint64_t line;
    size_t column;
    std::string code;
    bool operator==(const Found& other) const {
        return line == other.line && column == other.column && code == other.code;
    }
    friend std::ostream& operator<<(std::ostream& out, const Found& found) {
        return out << found.line << ":" << found.column << " " << found.code;
    }
};

class Recorder : public ProblemSink {
public:
    void Report(const Problem& problem) override {
        found.push_back({problem.line, problem.column, std::string(problem.code)});
    }
    std::vector<Found> found;
};

struct Case {
    const char* defect;
    std::string source;
    std::vector<Found> expected;
    bool verify = true;
};

const std::string kTimes = "00:00:01,000 --> 00:00:02,000";

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
         {{4, 1, "index-mismatch"}}},
        {"numbering from 0",
         "0\n" + kTimes + "\n\n1\n00:00:03,000 --> 00:00:04,000\n",
         {{1, 1, "index-mismatch"}}},
        {"a repeated number",
         "1\n" + kTimes +
             "\n\n1\n00:00:03,000 --> 00:00:04,000\n\n2\n"
             "00:00:05,000 --> 00:00:06,000\n",
         {{4, 1, "index-mismatch"}}},
        {"unverified numbering", "7\n" + kTimes + "\n", {}, false},
        {"'.' before the milliseconds",
         "1\n00:00:01.000 --> 00:00:02,000\n",
         {{2, 9, "time-format"}}},
        {"no arrow", "1\n00:00:01,000 00:00:02,000\n", {{2, 14, "time-format"}}},
        {"an empty line before the times", "1\n\n" + kTimes + "\n", {{2, 1, "time-format"}}},
        {"a file ending after an index", "1\n" + kTimes + "\n\n2\n", {{4, 1, "time-format"}}},
        {"five broken entries, each found",
         "1\nx\n\n2\nx\n\n3\nx\n\n4\nx\n\n5\nx\n",
         {{2, 1, "time-format"},
          {5, 1, "time-format"},
          {8, 1, "time-format"},
          {11, 1, "time-format"},
          {14, 1, "time-format"}}},
        {"CR line ends only", "1\r" + kTimes + "\rHi\r", {{1, 1, "cr-only"}}},
        {"a byte-order mark",
         "\xEF\xBB\xBF"
         "1\n" +
             kTimes + "\n",
         {{1, 1, "bom"}, {1, 1, "index-mismatch"}}},
        {"a byte-order mark, unverified",
         "\xEF\xBB\xBF"
         "1\n" +
             kTimes + "\n",
         {{1, 1, "bom"}},
         false},
        {"CR CR LF line ends",
         "1\r\r\n" + kTimes + "\r\r\nHi\r\r\n\r\r\n2\r\r\n" + kTimes + "\r\r\n",
         {{1, 2, "cr-cr-lf"}}},
        {"a Ctrl-Z with text after it",
         "1\n" + kTimes +
             "\nHi\x1A"
             "more\n",
         {{3, 3, "ctrl-z"}}},
        {"a Ctrl-Z at the very end", "1\n" + kTimes + "\nHi\n\x1A", {}},
        {"a NUL", "1\n" + kTimes + "\nH\0i\n"s, {{3, 2, "nul"}}},
        {"an end before the begin",
         "1\n00:00:02,000 --> 00:00:01,000\n",
         {{2, 1, "end-before-begin"}}},
        {"an end past the duration",
         "1\n02:59:59,000 --> 03:00:00,001\n",
         {{2, 1, "past-duration"}}},
        {"60 minutes", "1\n00:60:00,000 --> 02:00:00,000\n", {{2, 4, "field-range"}}},
        {"negative hours", "1\n-1:00:00,000 --> 00:00:01,000\n", {{2, 1, "field-range"}}},
        {"two digits of milliseconds", "1\n00:00:01,50 --> 00:00:02,000\n", {{2, 10, "ms-digits"}}},
        {"an entry before the one before it",
         "1\n00:00:05,000 --> 00:00:06,000\n\n2\n00:00:01,000 --> 00:00:02,000\n",
         {{5, 1, "order"}}},
        {"an entry over the one before it",
         "1\n00:00:01,000 --> 00:00:03,000\n\n2\n00:00:02,000 --> 00:00:04,000\n",
         {{5, 1, "overlap"}}},
    };
}

TEST(SubtitleCheck, FindsEachDefectWhereItIs) {
    for (const Case& c : Cases()) {
        TextReader reader(7);  // small blocks, so that lines cross them
        reader.AttachMemory(c.source, "film.srt");
        Recorder recorder;
        const CheckCounts counts = CheckSubtitles(reader, c.verify, recorder);
        EXPECT_EQ(recorder.found, c.expected) << c.defect;
        EXPECT_EQ(counts.errors + counts.warnings, c.expected.size()) << c.defect;
    }
}

}  // namespace
}  // namespace quillo
