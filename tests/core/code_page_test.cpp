#include "code_page.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace quillo {
namespace {

// Shift-JIS (code page 932) lead bytes; its trail bytes include '\\' (0x5C)
// and '|' (0x7C), which is why every search walks by character.
CodePage ShiftJis() {
    return CodePage::WithLeadByteRanges({{0x81, 0x9F}, {0xE0, 0xFC}});
}

const std::string kMinusSign = "\x81\x7C";  // trail byte is '|'
const std::string kHyou = "\x95\x5C";       // trail byte is '\\'

TEST(CodePage, DoubleByteTrailBytesAreNeverDelimiters) {
    const CodePage sjis = ShiftJis();
    EXPECT_EQ(sjis.FindFirst(kMinusSign, '|'), std::string::npos);
    EXPECT_EQ(sjis.FindFirst(kMinusSign + "|", '|'), 2u);
    EXPECT_EQ(sjis.FindLast("a\\" + kHyou, '\\'), 1u);
    EXPECT_EQ(sjis.FindFirst("\x81"
                             "a.b",
                             '.'),
              2u);  // 0x81 0x61 is one character

    // A single-byte code page sees the same bytes as delimiters.
    const CodePage latin = CodePage::SingleByte();
    EXPECT_EQ(latin.FindFirst(kMinusSign, '|'), 1u);
    EXPECT_EQ(latin.FindLast("a\\" + kHyou, '\\'), 3u);
}

TEST(CodePage, ALeadByteAtTheEndStandsAlone) {
    const CodePage sjis = ShiftJis();
    EXPECT_EQ(sjis.FindFirst("|\x81", '|'), 0u);
    EXPECT_EQ(sjis.FindLast("\\\x95", '\\'), 0u);
}

std::string Replaced(const CodePage& page, const std::string& text) {
    std::string out = "<";
    page.AppendReplacing(out, text, '|', "<BR>");
    return out;
}

TEST(CodePage, AppendReplacingReplacesEveryBar) {
    const CodePage latin = CodePage::SingleByte();
    EXPECT_EQ(Replaced(latin, "no bar"), "<no bar");
    EXPECT_EQ(Replaced(latin, "big|world"), "<big<BR>world");
    EXPECT_EQ(Replaced(latin, "||"), "<<BR><BR>");
    EXPECT_EQ(Replaced(latin, "|"), "<<BR>");
    EXPECT_EQ(Replaced(latin, "|a|"), "<<BR>a<BR>");
    EXPECT_EQ(Replaced(latin, ""), "<");
}

TEST(CodePage, AppendReplacingWalksDoubleByteText) {
    const CodePage sjis = ShiftJis();
    EXPECT_EQ(Replaced(sjis, kMinusSign), "<" + kMinusSign);
    EXPECT_EQ(Replaced(sjis, kMinusSign + "|" + kMinusSign),
              "<" + kMinusSign + "<BR>" + kMinusSign);
    EXPECT_EQ(Replaced(sjis, "|" + kHyou + "||"), "<<BR>" + kHyou + "<BR><BR>");
}

// Run under Wine with LC_ALL=ja_JP.UTF-8, the system's ANSI code page is 932.
TEST(CodePage, SystemCodePageMatchesTheEnvironment) {
    const char* expected = std::getenv("QUILLO_EXPECT_CODE_PAGE");
    const CodePage system = CodePage::System();
    if (expected != nullptr && std::string(expected) == "932") {
        EXPECT_TRUE(system.IsLeadByte(0x81));
        EXPECT_TRUE(system.IsLeadByte(0xFC));
        EXPECT_FALSE(system.IsLeadByte(0xA0));
        EXPECT_EQ(Replaced(system, kMinusSign + "|"), "<" + kMinusSign + "<BR>");
    } else {
        EXPECT_FALSE(system.HasLeadBytes());
    }
}

}  // namespace
}  // namespace quillo
