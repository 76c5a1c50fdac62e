#include "smil_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "messages.h"
#include "test_support.h"

namespace quillo {
namespace {

using test::Notice;
using test::ReadBytes;
using test::RecordingHost;
using test::ScratchDir;

const CodePage kLatin = CodePage::SingleByte();

TEST(SmilPathFor, FollowsTheSourceStem) {
    EXPECT_EQ(SmilPathFor("D:\\subs\\film.srt", kLatin), "D:\\subs\\film.smil");
    EXPECT_EQ(SmilPathFor("D:\\subs\\film.sub.srt", kLatin), "D:\\subs\\film.smil");
    EXPECT_EQ(SmilPathFor("D:\\my.subs\\film.srt", kLatin), "D:\\my.subs\\film.smil");
    EXPECT_EQ(SmilPathFor("D:\\subs\\film", kLatin), "D:\\subs\\film.smil");
    EXPECT_EQ(SmilPathFor("/home/a.b/film.srt", kLatin, '/'), "/home/a.b/film.smil");
}

class SmilTest : public ::testing::Test {
protected:
    SmilRequest Request(const std::string& video) {
        SmilRequest request;
        request.create = true;
        request.videoPath = video;
        request.sourcePath = dir.Path("film.srt");
        request.destPath = dir.Path("film.rt");
        request.separator = test::NativeSeparator();
        return request;
    }
    std::string SmilPath() const { return dir.Path("film.smil"); }

    ScratchDir dir;
    RecordingHost host;
};

TEST_F(SmilTest, NamesTheVideoAndTheDocumentByTheirBareNames) {
    SmilRequest request = Request("D:\\video\\film.rmvb");
    request.separator = '\\';
    request.sourcePath = SmilPath();  // the stem of "…film.smil" is "…film"
    if (test::NativeSeparator() != '\\') {
        request.videoPath = "/video/film.rmvb";
        request.destPath = "/out/film.rt";
        request.separator = '/';
    }
    EXPECT_EQ(WriteSmilFile(request, kLatin, host), RunOutcome::Completed);
    EXPECT_EQ(ReadBytes(SmilPath()), test::SmilDocument("film.rmvb", "film.rt"));
    EXPECT_TRUE(host.notices.empty());
}

TEST_F(SmilTest, InsertsNamesExactlyAsTheyStand) {
    SmilRequest request = Request("a&b \"<c>\".rmvb");
    request.destPath = "x/y.rt";
    request.separator = '\\';  // forward slashes are no separators for the window
    EXPECT_EQ(WriteSmilFile(request, kLatin, host), RunOutcome::Completed);
    const std::string smil = ReadBytes(SmilPath());
    EXPECT_NE(smil.find("<video src=\"a&b \"<c>\".rmvb\"/>\r\n"), std::string::npos) << smil;
    EXPECT_NE(smil.find("<textstream src=\"x/y.rt\"/>\r\n"), std::string::npos) << smil;
}

TEST_F(SmilTest, NothingIsWrittenUnlessAskedForWithAVideo) {
    SmilRequest unticked = Request("film.rmvb");
    unticked.create = false;
    EXPECT_EQ(WriteSmilFile(unticked, kLatin, host), RunOutcome::Completed);
    EXPECT_EQ(WriteSmilFile(Request(""), kLatin, host), RunOutcome::Completed);
    EXPECT_FALSE(test::Exists(SmilPath()));
    EXPECT_TRUE(host.notices.empty());
}

TEST_F(SmilTest, AnExistingFileIsReplacedWithoutAQuestion) {
    test::WriteBytes(SmilPath(), std::string(10'000, 'z'));
    EXPECT_EQ(WriteSmilFile(Request("film.rmvb"), kLatin, host), RunOutcome::Completed);
    EXPECT_EQ(ReadBytes(SmilPath()), test::SmilDocument("film.rmvb", "film.rt"));
    EXPECT_TRUE(host.notices.empty());
}

TEST_F(SmilTest, AnUnopenablePathIsReportedNotPassedOver) {
    test::ScratchDir other;
    SmilRequest request = Request("film.rmvb");
    request.sourcePath = other.Root() + test::NativeSeparator() + "film";
    // A folder stands where the presentation would go.
    std::filesystem::create_directory(other.Root() + test::NativeSeparator() + "film.smil");
    EXPECT_EQ(WriteSmilFile(request, kLatin, host), RunOutcome::Stopped);
    EXPECT_EQ(
        host.notices,
        (std::vector<Notice>{{Notice::Error, messages::kCannotOpenSmil, messages::kErrorCaption}}));
}

TEST_F(SmilTest, AFullDiskIsReportedAndTheRunDoesNotCountAsDone) {
#ifdef _WIN32
    GTEST_SKIP() << "needs a link to the full device, which the native suite makes";
#else
    std::filesystem::create_symlink("/dev/full", SmilPath());
    EXPECT_EQ(WriteSmilFile(Request("film.rmvb"), kLatin, host), RunOutcome::Stopped);
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0].kind, Notice::FileFailure);
    EXPECT_EQ(host.notices[0].text, "write");
    EXPECT_EQ(host.notices[0].caption, SmilPath());
#endif
}

}  // namespace
}  // namespace quillo
