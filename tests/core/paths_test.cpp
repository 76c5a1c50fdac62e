#include "paths.h"

#include <gtest/gtest.h>

namespace quillo {
namespace {

const CodePage kLatin = CodePage::SingleByte();

TEST(Stem, CutsAtTheFirstDotOfTheFileName) {
    EXPECT_EQ(Stem("D:\\subs\\film.srt", kLatin), "D:\\subs\\film");
    EXPECT_EQ(Stem("D:\\subs\\film.sub.srt", kLatin), "D:\\subs\\film");
    EXPECT_EQ(Stem("film.srt", kLatin), "film");
    EXPECT_EQ(Stem(".srt", kLatin), "");
    EXPECT_EQ(Stem("D:\\subs\\.hidden", kLatin), "D:\\subs\\");
}

TEST(Stem, DotsInFolderNamesDoNotCount) {
    EXPECT_EQ(Stem("D:\\my.subs\\film.srt", kLatin), "D:\\my.subs\\film");
    EXPECT_EQ(Stem("D:\\my.subs\\film", kLatin), "D:\\my.subs\\film");
    EXPECT_EQ(Stem("..\\film.srt", kLatin), "..\\film");
}

TEST(Stem, APathWithoutADotIsItsOwnStem) {
    EXPECT_EQ(Stem("D:\\subs\\film", kLatin), "D:\\subs\\film");
    EXPECT_EQ(Stem("film", kLatin), "film");
    EXPECT_EQ(Stem("", kLatin), "");
    EXPECT_EQ(Stem("D:\\subs\\", kLatin), "D:\\subs\\");
}

TEST(Stem, OnlyTheGivenSeparatorSeparates) {
    EXPECT_EQ(Stem("D:/my.subs/film.srt", kLatin), "D:/my");
    EXPECT_EQ(Stem("/home/me/my.subs/film.srt", kLatin, '/'), "/home/me/my.subs/film");
}

TEST(Stem, WalksDoubleByteNames) {
    const CodePage sjis = CodePage::WithLeadByteRanges({{0x81, 0x9F}, {0xE0, 0xFC}});
    // 0x95 0x5C is one character whose trail byte is a backslash.
    const std::string folder = "D:\\a.b\\\x95\x5C";
    EXPECT_EQ(Stem(folder + ".srt", sjis), folder);
    EXPECT_EQ(Stem(folder, sjis), folder);
    EXPECT_EQ(Stem(folder + ".srt", kLatin), folder);
    EXPECT_EQ(Stem("D:\\a.b\\\x95\x5C"
                   "film",
                   kLatin),
              "D:\\a.b\\\x95\x5C"
              "film");
    EXPECT_EQ(Stem("D:\\a.b\\\x95\x5C"
                   "film",
                   sjis),
              "D:\\a.b\\\x95\x5C"
              "film");
}

TEST(BareFileName, TakesTheTextAfterTheLastSeparator) {
    EXPECT_EQ(BareFileName("D:\\video\\film.rmvb", kLatin), "film.rmvb");
    EXPECT_EQ(BareFileName("film.rmvb", kLatin), "film.rmvb");
    EXPECT_EQ(BareFileName("D:/video/film.rmvb", kLatin), "D:/video/film.rmvb");
    EXPECT_EQ(BareFileName("D:\\video\\", kLatin), "");
    const CodePage sjis = CodePage::WithLeadByteRanges({{0x81, 0x9F}, {0xE0, 0xFC}});
    EXPECT_EQ(BareFileName("D:\\\x95\x5C.rmvb", sjis), "\x95\x5C.rmvb");
}

TEST(WithDefaultExtension, AddsTheExtensionOnlyWhenThePathHasNoDotAtAll) {
    EXPECT_EQ(WithDefaultExtension("D:\\subs\\film", ".srt", kLatin), "D:\\subs\\film.srt");
    EXPECT_EQ(WithDefaultExtension("D:\\subs\\film.txt", ".srt", kLatin), "D:\\subs\\film.txt");
    // The test is made on the whole path, folders included.
    EXPECT_EQ(WithDefaultExtension("D:\\my.subs\\film", ".srt", kLatin), "D:\\my.subs\\film");
}

}  // namespace
}  // namespace quillo
