#include "text_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "test_support.h"

namespace quillo {
namespace {

using test::ReadBytes;
using test::ScratchDir;
using test::WriteBytes;

// Every line a reader yields for `bytes`, then checks the end is sticky.
std::vector<std::string> LinesOf(const std::string& bytes) {
    ScratchDir dir;
    const std::string path = dir.Path("in.srt");
    WriteBytes(path, bytes);
    TextReader reader;
    EXPECT_TRUE(reader.Open(path));
    std::vector<std::string> lines;
    std::string line;
    while (reader.ReadLine(line)) {
        lines.push_back(line);
    }
    EXPECT_EQ(line, "");
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_EQ(line, "");
    return lines;
}

using Lines = std::vector<std::string>;

TEST(TextReader, SplitsAtLfAndCrLf) {
    EXPECT_EQ(LinesOf(""), Lines{});
    EXPECT_EQ(LinesOf("a\r\nb\nc"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(LinesOf("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(LinesOf("\n\n"), (Lines{"", ""}));
    EXPECT_EQ(LinesOf("a\n\r\n"), (Lines{"a", ""}));
}

TEST(TextReader, KeepsACrNotFollowedByLf) {
    EXPECT_EQ(LinesOf("a\rb\r\n"), (Lines{"a\rb"}));
    EXPECT_EQ(LinesOf("a\r\r\nb"), (Lines{"a\r", "b"}));
    EXPECT_EQ(LinesOf("a\rb\rc"), (Lines{"a\rb\rc"}));
    EXPECT_EQ(LinesOf("a\r"), (Lines{"a\r"}));
}

TEST(TextReader, CtrlZEndsTheFile) {
    EXPECT_EQ(LinesOf("a\nb\x1A"
                      "c\nd\n"),
              (Lines{"a", "b"}));
    EXPECT_EQ(LinesOf("a\n\x1A"
                      "b\n"),
              (Lines{"a"}));
    EXPECT_EQ(LinesOf("\x1A"
                      "a"),
              Lines{});
}

TEST(TextReader, NulCutsItsLine) {
    EXPECT_EQ(LinesOf(std::string("ab\0cd\r\nef", 9)), (Lines{"ab", "ef"}));
    EXPECT_EQ(LinesOf(std::string("ab\r\0\r\n", 6)), (Lines{"ab\r"}));
    EXPECT_EQ(LinesOf(std::string("\0x\n\0", 4)), (Lines{"", ""}));
}

TEST(TextReader, LinesLongerThanABlockComeBackWhole) {
    const std::string longLine(1'000'003, 'x');
    EXPECT_EQ(LinesOf(longLine + "\r\nend"), (Lines{longLine, "end"}));
    // A CR LF split across two blocks still ends the line.
    for (size_t length : {131071u, 131072u, 131073u}) {
        const std::string line(length, 'y');
        EXPECT_EQ(LinesOf(line + "\r\nz"), (Lines{line, "z"})) << length;
    }
    // A Ctrl-Z or a NUL far beyond the first block.
    EXPECT_EQ(LinesOf(longLine + "\x1A"
                                 "more"),
              (Lines{longLine}));
    EXPECT_EQ(LinesOf(longLine + std::string("\0tail\nnext", 10)), (Lines{longLine, "next"}));
}

TEST(TextReader, MissingFilesAndFoldersDoNotOpen) {
    ScratchDir dir;
    TextReader reader;
    EXPECT_FALSE(reader.Open(dir.Path("missing.srt")));
    EXPECT_FALSE(reader.Open(dir.Root()));
    EXPECT_FALSE(reader.Open(""));
}

TEST(TextWriter, EndsEveryLineWithCrLf) {
    ScratchDir dir;
    const std::string path = dir.Path("out.rt");
    TextWriter writer;
    ASSERT_TRUE(writer.Open(path));
    writer.WriteLine("one");
    writer.WriteLine("");
    writer.WriteLine("two\nthree\r");
    writer.Close();
    EXPECT_EQ(ReadBytes(path), "one\r\n\r\ntwo\r\nthree\r\r\n");
}

TEST(TextWriter, TruncatesAnExistingFileAndWritesLargeLines) {
    ScratchDir dir;
    const std::string path = dir.Path("out.rt");
    WriteBytes(path, std::string(500'000, 'o'));
    const std::string big(300'000, 'b');
    TextWriter writer;
    ASSERT_TRUE(writer.Open(path));
    writer.WriteLine("a");
    writer.WriteLine(big);
    writer.Close();
    EXPECT_EQ(ReadBytes(path), "a\r\n" + big + "\r\n");
}

TEST(ExclusiveOpen, NoSecondOpenerWhileAFileIsHeld) {
    ScratchDir dir;
    const std::string path = dir.Path("film.srt");
    const std::string content = "1\r\n00:00:01,000 --> 00:00:02,000\r\nHi\r\n";
    WriteBytes(path, content);
    {
        TextReader held;
        ASSERT_TRUE(held.Open(path));
        TextReader second;
        EXPECT_FALSE(second.Open(path));
        TextWriter writer;
        EXPECT_FALSE(writer.Open(path));  // and so never truncates what is held
    }
    EXPECT_EQ(ReadBytes(path), content);
    TextReader again;
    EXPECT_TRUE(again.Open(path)) << "closing must release the file";
}

TEST(ExclusiveOpen, AWriterHoldsItsFileToo) {
    ScratchDir dir;
    const std::string path = dir.Path("out.rt");
    TextWriter writer;
    ASSERT_TRUE(writer.Open(path));
    TextReader reader;
    EXPECT_FALSE(reader.Open(path));
    writer.Close();
    EXPECT_TRUE(reader.Open(path));
}

#ifndef _WIN32
// The lock is for files someone keeps: a lock on a device would be
// system-wide, so two runs writing to /dev/null would fail each other.
TEST(ExclusiveOpen, DevicesAreNotLocked) {
    for (const char* device : {"/dev/null", "/dev/full"}) {
        TextWriter first;
        TextWriter second;
        ASSERT_TRUE(first.Open(device)) << device;
        EXPECT_TRUE(second.Open(device)) << device << " refused a second writer";
        TextReader reader;
        EXPECT_TRUE(reader.Open(device)) << device << " refused a reader";
    }
}
#endif

// Where every write fails with "no space left": /dev/full, which Wine shows as Z:\dev\full.
std::string FullDevice() {
#ifdef _WIN32
    return "Z:\\dev\\full";
#else
    return "/dev/full";
#endif
}

TEST(TextWriter, AFullDiskIsAWriteFailureNamingTheFile) {
    TextWriter writer;
    ASSERT_TRUE(writer.Open(FullDevice()));
    writer.WriteLine("small enough to sit in the buffer");
    try {
        writer.Close();
        FAIL() << "closing onto a full disk must fail";
    } catch (const FileError& error) {
        EXPECT_EQ(error.operation, FileOperation::Write);
        EXPECT_NE(error.fullPath.find("full"), std::string::npos) << error.fullPath;
    }
    EXPECT_NO_THROW(writer.Close());  // closed either way
}

TEST(TextWriter, AFullDiskFailsTheWriteThatFillsTheBuffer) {
    TextWriter writer;
    ASSERT_TRUE(writer.Open(FullDevice()));
    const std::string line(4096, 'x');
    bool failed = false;
    for (int i = 0; i < 100 && !failed; ++i) {
        try {
            writer.WriteLine(line);
        } catch (const FileError& error) {
            failed = error.operation == FileOperation::Write;
        }
    }
    EXPECT_TRUE(failed);
    EXPECT_NO_THROW(writer.Close());  // the failed block is not tried again
}

}  // namespace
}  // namespace quillo
