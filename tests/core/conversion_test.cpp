#include "conversion.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "messages.h"
#include "test_support.h"

namespace quillo {
namespace {

using test::Notice;
using test::ReadBytes;
using test::RealTextDocument;
using test::RecordingHost;
using test::ScratchDir;
using test::WriteBytes;

class ConversionTest : public ::testing::Test {
protected:
    // Converts `source` bytes into a fresh destination; returns the outcome.
    RunOutcome Convert(const std::string& source, bool verify = true) {
        WriteBytes(sourcePath, source);
        std::remove(destPath.c_str());
        return test::ConvertFiles(sourcePath, destPath, verify, CodePage::SingleByte(), host);
    }
    std::string Dest() const { return ReadBytes(destPath); }
    static Notice ErrorNotice(const std::string& text) {
        return {Notice::Error, text, messages::kErrorCaption};
    }

    ScratchDir dir;
    std::string sourcePath = dir.Path("film.srt");
    std::string destPath = dir.Path("film.rt");
    RecordingHost host;
};

const char kTwoEntries[] =
    "1\r\n00:00:01,000 --> 00:00:02,500\r\nHi\r\n\r\n"
    "2\r\n00:00:03,000 --> 00:00:04,000\r\nA|B\r\nC\r\n";

TEST_F(ConversionTest, ConvertsEntriesIntoOneLineEach) {
    EXPECT_EQ(Convert(kTwoEntries), RunOutcome::Completed);
    EXPECT_EQ(Dest(), RealTextDocument({
                          "<Time Begin=\"0:00:01.00\" End=\"0:00:02.50\" /><clear/> Hi",
                          "<Time Begin=\"0:00:03.00\" End=\"0:00:04.00\" /><clear/> A<BR>B<BR>C",
                      }));
    EXPECT_TRUE(host.notices.empty());
}

TEST_F(ConversionTest, LfOnlySourcesConvertLikeCrLf) {
    std::string lf = kTwoEntries;
    for (size_t at; (at = lf.find("\r\n")) != std::string::npos;) {
        lf.erase(at, 1);
    }
    ASSERT_EQ(Convert(kTwoEntries), RunOutcome::Completed);
    const std::string expected = Dest();
    ASSERT_EQ(Convert(lf), RunOutcome::Completed);
    EXPECT_EQ(Dest(), expected);
}

TEST_F(ConversionTest, EmptySourcesGiveAnEmptyDocument) {
    for (const char* source : {"", "\r\n\r\n\n",
                               "\x1A"
                               "1\r\n"}) {
        EXPECT_EQ(Convert(source), RunOutcome::Completed);
        EXPECT_EQ(Dest(), RealTextDocument({}));
    }
}

TEST_F(ConversionTest, TextLinesAreJoinedAndPassedThroughUnchanged) {
    EXPECT_EQ(Convert("1\n0:0:0,0 --> 0:0:0,0\n<i>a & \"b\"</i>\n||\n|\n\n"
                      "2\n0:0:0,0 --> 0:0:0,0\n\n"
                      "3\n0:0:0,0 --> 0:0:0,0"),
              RunOutcome::Completed);
    EXPECT_EQ(Dest(), RealTextDocument({
                          "<Time Begin=\"0:00:00.00\" End=\"0:00:00.00\" /><clear/> "
                          "<i>a & \"b\"</i><BR><BR><BR><BR><BR>",
                          "<Time Begin=\"0:00:00.00\" End=\"0:00:00.00\" /><clear/> ",
                          "<Time Begin=\"0:00:00.00\" End=\"0:00:00.00\" /><clear/> ",
                      }));
}

TEST_F(ConversionTest, BlankOnlyLinesAreNotSeparators) {
    EXPECT_EQ(Convert("1\n0:0:1,0 --> 0:0:2,0\na\n \n2\n0:0:3,0 --> 0:0:4,0\nb\n"),
              RunOutcome::Completed);
    EXPECT_EQ(Dest(), RealTextDocument({"<Time Begin=\"0:00:01.00\" End=\"0:00:02.00\" /><clear/> "
                                        "a<BR> <BR>2<BR>0:0:3,0 --> 0:0:4,0<BR>b"}));
}

TEST_F(ConversionTest, CrCrLfSourcesJoinIntoTheFirstEntry) {
    EXPECT_EQ(Convert("1\r\r\n0:0:1,0 --> 0:0:2,0\r\r\nHi\r\r\n\r\r\n2\r\r\n"),
              RunOutcome::Completed);
    EXPECT_EQ(Dest(), RealTextDocument({"<Time Begin=\"0:00:01.00\" End=\"0:00:02.00\" /><clear/> "
                                        "Hi\r<BR>\r<BR>2\r"}));
}

TEST_F(ConversionTest, CrOnlySourcesAreOneLine) {
    const std::string source = "1\r00:00:01,000 --> 00:00:02,000\rHi\r";
    EXPECT_EQ(Convert(source), RunOutcome::Stopped);
    EXPECT_EQ(host.notices,
              std::vector<Notice>{ErrorNotice("Line 1 . Time format error in .srt file.")});
    host.notices.clear();
    EXPECT_EQ(Convert("7\r00:00:01,000 --> 00:00:02,000\r"), RunOutcome::Stopped);
    EXPECT_EQ(host.notices,
              std::vector<Notice>{ErrorNotice("Line 1 . Line number error in .srt file.")});
}

TEST_F(ConversionTest, ALineNumberErrorKeepsTheEntriesBeforeIt) {
    EXPECT_EQ(Convert("1\n0:0:1,0 --> 0:0:2,0\na\n\n2\n0:0:3,0 --> 0:0:4,0\nb\n\n"
                      "4\n0:0:5,0 --> 0:0:6,0\nc\n"),
              RunOutcome::Stopped);
    EXPECT_EQ(host.notices,
              std::vector<Notice>{ErrorNotice("Line 3 . Line number error in .srt file.")});
    EXPECT_EQ(Dest(),
              RealTextDocument({"<Time Begin=\"0:00:01.00\" End=\"0:00:02.00\" /><clear/> a",
                                "<Time Begin=\"0:00:03.00\" End=\"0:00:04.00\" /><clear/> b"},
                               false));
}

TEST_F(ConversionTest, NumberingMustFollowTheOrdinalWhenVerified) {
    const std::string startsAtZero = "0\n0:0:1,0 --> 0:0:2,0\na\n";
    EXPECT_EQ(Convert(startsAtZero), RunOutcome::Stopped);
    EXPECT_EQ(Convert("1\n0:0:1,0 --> 0:0:2,0\n\n1\n0:0:1,0 --> 0:0:2,0\n"), RunOutcome::Stopped);
    EXPECT_EQ(host.notices,
              (std::vector<Notice>{ErrorNotice("Line 1 . Line number error in .srt file."),
                                   ErrorNotice("Line 2 . Line number error in .srt file.")}));
    host.notices.clear();
    // Unverified, any non-empty line is taken as an index line.
    EXPECT_EQ(Convert("zero\n0:0:1,0 --> 0:0:2,0\na\n\n-9\n0:0:3,0 --> 0:0:4,0\n", false),
              RunOutcome::Completed);
    EXPECT_EQ(Dest(),
              RealTextDocument({"<Time Begin=\"0:00:01.00\" End=\"0:00:02.00\" /><clear/> a",
                                "<Time Begin=\"0:00:03.00\" End=\"0:00:04.00\" /><clear/> "}));
    EXPECT_TRUE(host.notices.empty());
}

TEST_F(ConversionTest, AByteOrderMarkSpoilsTheFirstIndexUnlessUnverified) {
    const std::string source =
        "\xEF\xBB\xBF"
        "1\r\n00:00:01,000 --> 00:00:02,000\r\nHi\r\n";
    EXPECT_EQ(Convert(source), RunOutcome::Stopped);
    EXPECT_EQ(host.notices,
              std::vector<Notice>{ErrorNotice("Line 1 . Line number error in .srt file.")});
    EXPECT_EQ(Convert(source, false), RunOutcome::Completed);
    EXPECT_EQ(Dest(),
              RealTextDocument({"<Time Begin=\"0:00:01.00\" End=\"0:00:02.00\" /><clear/> Hi"}));
}

TEST_F(ConversionTest, TheTimeLineMustFollowTheIndexDirectly) {
    for (const char* source :
         {"1\n\n0:0:1,0 --> 0:0:2,0\n", "1", "1\n", "1\n0:0:1.0 --> 0:0:2.0\n"}) {
        host.notices.clear();
        EXPECT_EQ(Convert(source), RunOutcome::Stopped) << source;
        EXPECT_EQ(host.notices,
                  std::vector<Notice>{ErrorNotice("Line 1 . Time format error in .srt file.")});
        EXPECT_EQ(Dest(), RealTextDocument({}, false));
    }
}

TEST_F(ConversionTest, TheLastEntryNeedsNoLineEnd) {
    EXPECT_EQ(Convert("1\n0:0:1,0 --> 0:0:2,0\nlast"), RunOutcome::Completed);
    EXPECT_EQ(Dest(),
              RealTextDocument({"<Time Begin=\"0:00:01.00\" End=\"0:00:02.00\" /><clear/> last"}));
}

TEST_F(ConversionTest, CtrlZAndNulEndWhatTheyCut) {
    EXPECT_EQ(Convert(std::string("1\n0:0:1,0 --> 0:0:2,0\nab\0cd\nef\x1Agh\n\n2\n", 33)),
              RunOutcome::Completed);
    EXPECT_EQ(Dest(), RealTextDocument(
                          {"<Time Begin=\"0:00:01.00\" End=\"0:00:02.00\" /><clear/> ab<BR>ef"}));
}

TEST_F(ConversionTest, AMissingSourceIsReportedAndNothingIsWritten) {
    EXPECT_EQ(
        test::ConvertFiles(dir.Path("missing.srt"), destPath, true, CodePage::SingleByte(), host),
        RunOutcome::Stopped);
    EXPECT_EQ(host.notices, std::vector<Notice>{ErrorNotice("Unable to open '.srt' file.")});
    EXPECT_FALSE(test::Exists(destPath));
    host.notices.clear();
    EXPECT_EQ(test::ConvertFiles("", destPath, true, CodePage::SingleByte(), host),
              RunOutcome::Stopped);
    EXPECT_EQ(host.notices, std::vector<Notice>{ErrorNotice("Unable to open '.srt' file.")});
}

TEST_F(ConversionTest, AnExistingDestinationIsReplacedOnlyAfterYes) {
    const std::string old = "precious\r\n";
    WriteBytes(destPath, old);
    RecordingHost no(false);
    WriteBytes(sourcePath, kTwoEntries);
    EXPECT_EQ(test::ConvertFiles(sourcePath, destPath, true, CodePage::SingleByte(), no),
              RunOutcome::Stopped);
    EXPECT_EQ(no.notices, (std::vector<Notice>{{Notice::Question, messages::kDestExists,
                                                messages::kWarningCaption}}));
    EXPECT_EQ(ReadBytes(destPath), old);

    EXPECT_EQ(test::ConvertFiles(sourcePath, destPath, true, CodePage::SingleByte(), host),
              RunOutcome::Completed);
    EXPECT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0].kind, Notice::Question);
    EXPECT_EQ(Dest().substr(0, 8), "<window ");
}

TEST_F(ConversionTest, ADestinationNamingTheSourceNeverTruncatesIt) {
    WriteBytes(sourcePath, kTwoEntries);
    const std::string sep(1, test::NativeSeparator());
    for (const std::string& alias : {sourcePath, dir.Root() + sep + "." + sep + "film.srt"}) {
        host.notices.clear();
        EXPECT_EQ(test::ConvertFiles(sourcePath, alias, true, CodePage::SingleByte(), host),
                  RunOutcome::Stopped);
        // No overwrite question: the probe cannot open what the run holds.
        EXPECT_EQ(host.notices, std::vector<Notice>{ErrorNotice("Unable to open '.rt' file.")});
        EXPECT_EQ(ReadBytes(sourcePath), kTwoEntries);
    }
}

TEST_F(ConversionTest, AnUnwritableDestinationIsReported) {
    WriteBytes(sourcePath, kTwoEntries);
    for (const std::string& dest : {dir.Path("no-such-folder") + test::NativeSeparator() + "x.rt",
                                    dir.Root(), std::string()}) {
        host.notices.clear();
        EXPECT_EQ(test::ConvertFiles(sourcePath, dest, true, CodePage::SingleByte(), host),
                  RunOutcome::Stopped);
        EXPECT_EQ(host.notices, std::vector<Notice>{ErrorNotice("Unable to open '.rt' file.")});
    }
}

TEST_F(ConversionTest, AFullDiskGivesTheWriteFailureNotice) {
#ifdef _WIN32
    const std::string full = "Z:\\dev\\full";
#else
    const std::string full = "/dev/full";
#endif
    WriteBytes(sourcePath, kTwoEntries);
    RecordingHost yes(true);  // the device exists, so the overwrite question comes first
    EXPECT_EQ(test::ConvertFiles(sourcePath, full, true, CodePage::SingleByte(), yes),
              RunOutcome::Stopped);
    ASSERT_EQ(yes.notices.size(), 2u);
    EXPECT_EQ(yes.notices[1].kind, Notice::FileFailure);
    EXPECT_EQ(yes.notices[1].text, "write");
    EXPECT_NE(yes.notices[1].caption.find("full"), std::string::npos);
    EXPECT_EQ(ReadBytes(sourcePath), kTwoEntries);
}

TEST_F(ConversionTest, DoubleByteTextKeepsItsTrailBytes) {
    const CodePage sjis = CodePage::WithLeadByteRanges({{0x81, 0x9F}, {0xE0, 0xFC}});
    WriteBytes(sourcePath, "1\r\n0:0:1,0 --> 0:0:2,0\r\n\x81\x7C|\x81\x7C\r\n");
    EXPECT_EQ(test::ConvertFiles(sourcePath, destPath, true, sjis, host), RunOutcome::Completed);
    EXPECT_EQ(Dest(), RealTextDocument({"<Time Begin=\"0:00:01.00\" End=\"0:00:02.00\" /><clear/> "
                                        "\x81\x7C<BR>\x81\x7C"}));
}

TEST_F(ConversionTest, EntryCountsInMessagesAreOrdinalsNotFileLines) {
    std::string source;
    for (int i = 1; i <= 12; ++i) {
        source += "\n\n" + std::to_string(i) + "\n0:0:1,0 --> 0:0:2,0\nx\ny\n";
    }
    source += "\n13\nbad\n";
    EXPECT_EQ(Convert(source), RunOutcome::Stopped);
    EXPECT_EQ(host.notices,
              std::vector<Notice>{ErrorNotice("Line 13 . Time format error in .srt file.")});
}

}  // namespace
}  // namespace quillo
