// Japanese Windows (code page 932) from the window: names whose trail bytes
// are backslashes, and text whose trail bytes are "|". The suite runs these
// once more with LC_ALL=ja_JP.UTF-8; under other code pages they are skipped.
#include <gtest/gtest.h>

#include "expected_documents.h"
#include "quillo_test.h"

namespace quillo::gui {
namespace {

class DoubleByteTest : public QuilloTest {
protected:
    void SetUp() override {
        if (GetACP() != 932) {
            GTEST_SKIP() << "needs code page 932 (LC_ALL=ja_JP.UTF-8)";
        }
    }
};

// 表 is 0x95 0x5C and ポ is 0x83 0x7C in code page 932.
constexpr wchar_t kHyou[] = L"\u8868";
constexpr char kHyouBytes[] = "\x95\x5C";
constexpr char kPoBytes[] = "\x83\x7C";

TEST_F(DoubleByteTest, TrailBytesAreNeitherSeparatorsNorBars) {
    const std::wstring folder = kHyou;
    folder_.MakeFolder(folder);
    // The stem of "x.y表.srt" is "x": its last backslash is a trail byte.
    const std::wstring source = Path(folder + L"\\x.y" + kHyou + L".srt");
    const std::string po = kPoBytes;
    WriteBytes(source, "1\r\n00:00:01,000 --> 00:00:02,500\r\n" + po + "|" + po + "\r\n");
    window().Fill(source, Path(folder + L"\\x.rt"));
    window().Toggle(control::kCreateSmil);
    window().SetText(control::kVideo, L"D:\\" + folder + L"\\" + kHyou + L".rmvb");
    window().Click(control::kGenerate);
    quillo_.WaitForExit();

    EXPECT_EQ(ReadBytes(Path(folder + L"\\x.rt")),
              RealTextDocument({"<Time Begin=\"0:00:01.00\" End=\"0:00:02.50\" /><clear/> " + po +
                                "<BR>" + po}));
    EXPECT_EQ(ReadBytes(Path(folder + L"\\x.smil")),
              SmilDocument(std::string(kHyouBytes) + ".rmvb", "x.rt"));
}

}  // namespace
}  // namespace quillo::gui
