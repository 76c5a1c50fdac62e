// Paths around the Windows limit of 260 characters, and far beyond it: each
// either works in full or gives the open notice, with nothing written.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "conversion.h"
#include "fault_support.h"
#include "messages.h"
#include "test_support.h"

namespace quillo {
namespace {

namespace fs = std::filesystem;
using test::FilesUnder;
using test::Notice;
using test::ReadBytes;
using test::RecordingHost;
using test::ScratchDir;
using Files = std::vector<std::string>;
using Notices = std::vector<Notice>;

constexpr size_t kLengths[] = {0, 259, 260, 1000};

// A path of exactly `length` characters: `root`, folders of 100 characters,
// then a file name ending in `extension`. Empty when `root` is too long.
std::string PathOfLength(const std::string& root, size_t length, const std::string& extension) {
    std::string path = root;
    const char sep = test::NativeSeparator();
    while (length > path.size() + 1 + 120) {
        path += sep + std::string(100, 'd');
    }
    if (length < path.size() + 1 + extension.size() + 1) {
        return {};
    }
    path += sep + std::string(length - path.size() - 1 - extension.size(), 'f') + extension;
    return path;
}

enum class Expected { Converts, Refused, Either };

// What the platform does with a path of `length` characters. Windows' ANSI
// file functions refuse paths of 260 characters and more (MAX_PATH counts the
// NUL); Wine takes 260 too, so there either outcome is right.
Expected ForLength(size_t length) {
    if (length == 0) {
        return Expected::Refused;
    }
#ifdef _WIN32
    return length < 260 ? Expected::Converts : length == 260 ? Expected::Either : Expected::Refused;
#else
    return Expected::Converts;
#endif
}

// Removes what a test made under `root` for a path of one length: the file,
// then each folder from the deepest up, all by full name, since on Windows a
// folder listing misses names beyond the limit and remove_all leaves them.
void RemoveLongPath(const std::string& root, const std::string& path) {
    std::error_code ignored;
    for (fs::path at = path; !at.empty() && at.string().size() > root.size();
         at = at.parent_path()) {
        fs::remove(at, ignored);
    }
}

// Creates the folders and the file at `path`, if the test's own (wide,
// unlimited) file functions can; false otherwise.
bool CreateWithFolders(const std::string& path, const std::string& bytes) {
    std::error_code error;
    fs::create_directories(fs::path(path).parent_path(), error);
    std::ofstream out(fs::path(path), std::ios::binary);
    out << bytes;
    return !error && out.good();
}

class PathLengthTest : public ::testing::Test {
protected:
    ScratchDir dir;
    RecordingHost host;
    const test::KnownSource source = test::ManyEntries(2);
};

TEST_F(PathLengthTest, SourcePathsOfAnyLengthConvertOrAreReported) {
    const std::string destPath = dir.Path("film.rt");
    for (const size_t length : kLengths) {
        SCOPED_TRACE(length);
        const std::string sourcePath = PathOfLength(dir.Root(), length, ".srt");
        ASSERT_EQ(sourcePath.size(), length);
        const bool created = length > 0 && CreateWithFolders(sourcePath, source.bytes);
        host.notices.clear();
        const RunOutcome outcome =
            test::ConvertFiles(sourcePath, destPath, true, CodePage::SingleByte(), host);
        const Expected expected = created ? ForLength(length) : Expected::Refused;
        if (outcome == RunOutcome::Completed) {
            EXPECT_NE(expected, Expected::Refused);
            EXPECT_TRUE(host.notices.empty());
            EXPECT_EQ(ReadBytes(destPath), source.document);
            fs::remove(destPath);
        } else {
            EXPECT_NE(expected, Expected::Converts);
            EXPECT_EQ(
                host.notices,
                (Notices{{Notice::Error, messages::kCannotOpenSource, messages::kErrorCaption}}));
            EXPECT_FALSE(test::Exists(destPath));
        }
        if (created) {
            std::ifstream in(fs::path(sourcePath), std::ios::binary);
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), source.bytes);
        }
        RemoveLongPath(dir.Root(), sourcePath);
    }
}

TEST_F(PathLengthTest, DestinationPathsOfAnyLengthConvertOrAreReported) {
    const std::string sourcePath = dir.Path("film.srt");
    test::WriteBytes(sourcePath, source.bytes);
    for (const size_t length : kLengths) {
        SCOPED_TRACE(length);
        const std::string destPath = PathOfLength(dir.Root(), length, ".rt");
        ASSERT_EQ(destPath.size(), length);
        // The folders exist: only the length can stand in the way.
        std::error_code error;
        if (length > 0) {
            fs::create_directories(fs::path(destPath).parent_path(), error);
            ASSERT_FALSE(error) << error.message();
        }
        host.notices.clear();
        const RunOutcome outcome =
            test::ConvertFiles(sourcePath, destPath, true, CodePage::SingleByte(), host);
        if (outcome == RunOutcome::Completed) {
            EXPECT_NE(ForLength(length), Expected::Refused);
            EXPECT_TRUE(host.notices.empty());
            EXPECT_EQ(ReadBytes(destPath), source.document);
        } else {
            EXPECT_NE(ForLength(length), Expected::Converts);
            EXPECT_EQ(
                host.notices,
                (Notices{{Notice::Error, messages::kCannotOpenDest, messages::kErrorCaption}}));
            EXPECT_FALSE(length > 0 && fs::exists(fs::path(destPath), error));
            EXPECT_EQ(FilesUnder(dir.Root()), Files{"film.srt"});
        }
        EXPECT_EQ(ReadBytes(sourcePath), source.bytes);
        RemoveLongPath(dir.Root(), destPath);
    }
}

}  // namespace
}  // namespace quillo
