// Sources no subtitle editor writes: one line of 200 MB, and binary noise.
// The run must stay correct byte for byte and never touch the source.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "conversion.h"
#include "fault_support.h"
#include "messages.h"
#include "test_support.h"

namespace quillo {
namespace {

using test::Notice;
using test::ReadBytes;
using test::RealTextDocument;
using test::RecordingHost;
using test::SameBytes;
using test::ScratchDir;
using Notices = std::vector<Notice>;

class HostileInputTest : public ::testing::Test {
protected:
    RunOutcome Convert(bool verify) {
        return test::ConvertFiles(sourcePath, destPath, verify, CodePage::SingleByte(), host);
    }

    ScratchDir dir;
    std::string sourcePath = dir.Path("film.srt");
    std::string destPath = dir.Path("film.rt");
    RecordingHost host;
};

// `count` bytes from `offset` of the file at `path`.
std::string BytesAt(const std::string& path, std::streamoff offset, size_t count) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(offset);
    std::string bytes(count, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

TEST_F(HostileInputTest, ALineOf200MegabytesComesThroughWhole) {
    if (std::getenv("QUILLO_LONG_TESTS") == nullptr) {
        GTEST_SKIP() << "set QUILLO_LONG_TESTS=1 to run (scripts/fuzz.sh does)";
    }
    // A 16-byte pattern holding one bar, repeated in 1 MiB blocks.
    const std::string pattern = "0123456789abcde|";
    const std::string converted = "0123456789abcde<BR>";
    std::string block;
    while (block.size() < (1u << 20)) {
        block += pattern;
    }
    const size_t blocks = 200;
    const std::string head = "1\r\n0:0:1,0 --> 0:0:2,0\r\n";
    {
        std::ofstream out(sourcePath, std::ios::binary);
        out << head;
        for (size_t i = 0; i < blocks; ++i) {
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
        }
        out << "\r\n";
        ASSERT_TRUE(out.good());
    }

    EXPECT_EQ(Convert(true), RunOutcome::Completed);
    EXPECT_TRUE(host.notices.empty());

    const size_t repeats = blocks * block.size() / pattern.size();
    const std::string opening = RealTextDocument({}, false);
    const std::string start = opening + "<Time Begin=\"0:00:01.00\" End=\"0:00:02.00\" /><clear/> ";
    const std::string end = "\r\n" + RealTextDocument({}).substr(opening.size());
    std::string someConverted;
    for (int i = 0; i < 64; ++i) {
        someConverted += converted;
    }
    const size_t size = start.size() + repeats * converted.size() + end.size();
    EXPECT_EQ(std::filesystem::file_size(destPath), size);
    EXPECT_EQ(BytesAt(destPath, 0, start.size() + someConverted.size()), start + someConverted);
    const std::string tail = someConverted + end;
    EXPECT_EQ(BytesAt(destPath, static_cast<std::streamoff>(size - tail.size()), tail.size()),
              tail);

    // The source was only read: same size, same ends.
    const size_t sourceSize = head.size() + blocks * block.size() + 2;
    EXPECT_EQ(std::filesystem::file_size(sourcePath), sourceSize);
    EXPECT_EQ(BytesAt(sourcePath, 0, head.size() + pattern.size()), head + pattern);
    EXPECT_EQ(BytesAt(sourcePath, static_cast<std::streamoff>(sourceSize - pattern.size() - 2),
                      pattern.size() + 2),
              pattern + "\r\n");
}

// Deterministic noise: the same bytes on every run and every platform.
std::string Noise(size_t size, uint32_t start) {
    std::mt19937 generator(start);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

TEST_F(HostileInputTest, BinaryNoiseStopsAtTheFirstEntryAndIsNeverWritten) {
    const std::string noise = Noise(4 << 20, 20240611u);
    test::WriteBytes(sourcePath, noise);
    EXPECT_EQ(Convert(true), RunOutcome::Stopped);
    EXPECT_EQ(Convert(false), RunOutcome::Stopped);
    EXPECT_EQ(
        host.notices,
        (Notices{
            {Notice::Error, "Line 1 . Line number error in .srt file.", messages::kErrorCaption},
            {Notice::Question, messages::kDestExists, messages::kWarningCaption},
            {Notice::Error, "Line 1 . Time format error in .srt file.", messages::kErrorCaption}}));
    EXPECT_EQ(ReadBytes(destPath), RealTextDocument({}, false));
    EXPECT_TRUE(SameBytes(noise, ReadBytes(sourcePath)));
}

TEST_F(HostileInputTest, NoiseAsSubtitleTextPassesThroughByteForByte) {
    // Every byte but the three that end lines or files: LF, NUL and Ctrl-Z.
    std::string text = Noise(3 << 20, 7u);
    for (char& byte : text) {
        if (byte == '\n' || byte == '\0' || byte == '\x1A') {
            byte = '.';
        }
    }
    test::WriteBytes(sourcePath, "1\r\n0:0:1,0 --> 0:0:2,0\r\n" + text + "\r\n");
    EXPECT_EQ(Convert(true), RunOutcome::Completed);
    EXPECT_TRUE(host.notices.empty());
    std::string entry = "<Time Begin=\"0:00:01.00\" End=\"0:00:02.00\" /><clear/> ";
    for (char byte : text) {
        if (byte == '|') {
            entry += "<BR>";
        } else {
            entry += byte;
        }
    }
    EXPECT_TRUE(SameBytes(RealTextDocument({entry}), ReadBytes(destPath)));
}

}  // namespace
}  // namespace quillo
