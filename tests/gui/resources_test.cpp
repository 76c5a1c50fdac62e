// The executable's resources, read without running it: the two dialog
// templates, the About entry's string, the icon and the version record. Runs
// on the program under test and, when it has been built, on the 32-bit product.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "dialog_template.h"
#include "expected_layout.h"
#include "quillo_process.h"
#include "resource_file.h"
#include "text.h"

namespace quillo::gui {
namespace {

std::vector<std::wstring> ExecutablesToInspect() {
    std::vector<std::wstring> executables = {QuilloExecutable()};
    std::wstring product = Widen(QUILLO_PRODUCT_EXE);
    if (!product.empty() && product[0] == L'/') {
        product = L"Z:" + product;
    }
    if (GetFileAttributesW(product.c_str()) != INVALID_FILE_ATTRIBUTES &&
        lstrcmpiW(product.c_str(), executables[0].c_str()) != 0) {
        executables.push_back(product);
    }
    return executables;
}

class ResourcesTest : public ::testing::TestWithParam<std::wstring> {
protected:
    DialogTemplate Template(int id) const {
        const std::string_view bytes = resources_.Find(RT_DIALOG, id);
        if (bytes.empty()) {
            ADD_FAILURE() << "no dialog template " << id;
            return {};
        }
        return ParseDialogTemplate(bytes);
    }

    ResourceFile resources_{GetParam()};
};

TEST_P(ResourcesTest, ConverterTemplateHasItsCaptionSizeFontAndStyles) {
    const DialogTemplate dialog = Template(kConverterTemplateId);
    EXPECT_EQ(dialog.caption, L"subtitles converter - Quillo");
    EXPECT_EQ(dialog.rect, kConverterSize) << "placed at 0, 0 so that it is centred";
    EXPECT_EQ(dialog.typeface, L"MS Sans Serif");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.style & kCheckedDialogStyles, kConverterStyle);
    EXPECT_TRUE(dialog.exStyle & WS_EX_APPWINDOW) << "the window needs a task-bar button";
}

TEST_P(ResourcesTest, ConverterTemplateListsItsControlsInTabOrder) {
    const DialogTemplate dialog = Template(kConverterTemplateId);
    ASSERT_EQ(dialog.controls.size(), std::size(kConverterControls));
    for (size_t i = 0; i < dialog.controls.size(); ++i) {
        const ControlTemplate& actual = dialog.controls[i];
        const ExpectedControl& expected = kConverterControls[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + ", id " + std::to_string(expected.id));
        EXPECT_EQ(actual.id, expected.id);
        EXPECT_EQ(actual.className, expected.className);
        EXPECT_EQ(actual.text, expected.text);
        EXPECT_EQ(actual.rect, expected.rect);
        EXPECT_EQ((actual.style & WS_TABSTOP) != 0, expected.tabStop);
        EXPECT_EQ((actual.style & WS_GROUP) != 0, expected.startsGroup);
        EXPECT_EQ((actual.style & WS_DISABLED) == 0, expected.enabledAtStart);
        EXPECT_TRUE(actual.style & WS_VISIBLE);
        if (expected.className == std::wstring(L"Edit")) {
            EXPECT_TRUE(actual.style & WS_BORDER);
            EXPECT_TRUE(actual.style & ES_AUTOHSCROLL);
            EXPECT_FALSE(actual.style & ES_MULTILINE);
        } else if (expected.className == std::wstring(L"Button")) {
            EXPECT_EQ(actual.style & BS_TYPEMASK, expected.kind);
        } else {
            EXPECT_EQ(actual.style & SS_TYPEMASK, expected.kind);
        }
    }
}

TEST_P(ResourcesTest, AboutTemplateHasItsCaptionSizeAndControls) {
    const DialogTemplate dialog = Template(kAboutTemplateId);
    EXPECT_EQ(dialog.caption, kAboutCaption);
    EXPECT_EQ(dialog.rect, kAboutSize);
    EXPECT_EQ(dialog.typeface, L"MS Sans Serif");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.style & kCheckedDialogStyles, kAboutStyle) << "shown by its modal run";
    ASSERT_EQ(dialog.controls.size(), 4u);

    const ControlTemplate& icon = dialog.controls[0];
    EXPECT_EQ(icon.id, -1);
    EXPECT_EQ(icon.className, L"Static");
    EXPECT_EQ(icon.style & SS_TYPEMASK, static_cast<DWORD>(SS_ICON));
    EXPECT_EQ(icon.textOrdinal, kIconId);
    EXPECT_EQ(icon.rect, (DialogUnitsRect{11, 17, 20, 20}));

    const ControlTemplate& version = dialog.controls[1];
    EXPECT_EQ(version.id, -1);
    EXPECT_EQ(version.text, kAboutVersionText);
    EXPECT_TRUE(version.style & SS_NOPREFIX);
    EXPECT_TRUE(version.style & WS_GROUP);
    EXPECT_EQ(version.rect, (DialogUnitsRect{40, 10, 119, 8}));

    const ControlTemplate& notice = dialog.controls[2];
    EXPECT_EQ(notice.id, -1);
    EXPECT_EQ(notice.className, L"Static");
    EXPECT_FALSE(notice.text.empty()) << "the maker's notice";
    EXPECT_TRUE(notice.style & WS_GROUP);
    EXPECT_EQ(notice.rect, (DialogUnitsRect{40, 25, 119, 8}));

    const ControlTemplate& ok = dialog.controls[3];
    EXPECT_EQ(ok.id, IDOK);
    EXPECT_EQ(ok.text, L"OK");
    EXPECT_EQ(ok.style & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    EXPECT_TRUE(ok.style & WS_GROUP);
    EXPECT_TRUE(ok.style & WS_TABSTOP);
    EXPECT_EQ(ok.rect, (DialogUnitsRect{178, 7, 50, 14}));
}

TEST_P(ResourcesTest, AboutMenuStringIsFrench) {
    EXPECT_EQ(resources_.String(kAboutMenuStringId), kAboutMenuText);
}

// GRPICONDIR and its entries, as stored in RT_GROUP_ICON.
#pragma pack(push, 2)
struct IconGroupHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct IconGroupEntry {
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST_P(ResourcesTest, IconHolds16And32PixelImagesOf256Colours) {
    const std::string_view group = resources_.Find(RT_GROUP_ICON, kIconId);
    ASSERT_GE(group.size(), sizeof(IconGroupHeader)) << "no icon " << kIconId;
    const auto* header = reinterpret_cast<const IconGroupHeader*>(group.data());
    ASSERT_EQ(header->count, 2);
    ASSERT_GE(group.size(), sizeof(IconGroupHeader) + 2 * sizeof(IconGroupEntry));
    const auto* entries = reinterpret_cast<const IconGroupEntry*>(header + 1);
    std::vector<int> sizes;
    for (int i = 0; i < 2; ++i) {
        const IconGroupEntry& entry = entries[i];
        sizes.push_back(entry.width);
        EXPECT_EQ(entry.width, entry.height);
        EXPECT_EQ(entry.bitCount, 8) << "256 colours";
        const std::string_view image = resources_.Find(RT_ICON, entry.id);
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
        EXPECT_EQ(reinterpret_cast<const BITMAPINFOHEADER*>(image.data())->biSize,
                  sizeof(BITMAPINFOHEADER))
            << "a BMP image, not PNG, for the oldest systems";
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<int>{16, 32}));
}

// A value of the version record's French (0x040C), Unicode (1200) block.
std::wstring VersionString(const std::vector<BYTE>& record, const std::wstring& name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring query = L"\\StringFileInfo\\040c04b0\\" + name;
    if (!VerQueryValueW(record.data(), query.c_str(), &value, &length) || !value) {
        return L"<missing>";
    }
    std::wstring text(static_cast<const wchar_t*>(value), length);
    while (!text.empty() && text.back() == L'\0') {
        text.pop_back();
    }
    return text;
}

TEST_P(ResourcesTest, VersionRecordNamesTheApplication) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(GetParam().c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version record";
    std::vector<BYTE> record(size);
    ASSERT_TRUE(GetFileVersionInfoW(GetParam().c_str(), 0, size, record.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(1, 0));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(1, 0));

    EXPECT_EQ(VersionString(record, L"FileVersion"), L"1, 0, 0, 1");
    EXPECT_EQ(VersionString(record, L"ProductVersion"), L"1, 0, 0, 1");
    EXPECT_EQ(VersionString(record, L"FileDescription"), L"Application MFC Quillo");
    EXPECT_EQ(VersionString(record, L"InternalName"), L"Quillo");
    EXPECT_EQ(VersionString(record, L"OriginalFilename"), L"Quillo.EXE");
    EXPECT_EQ(VersionString(record, L"ProductName"), L"Application Quillo");
    EXPECT_EQ(VersionString(record, L"CompanyName"), L"");
}

INSTANTIATE_TEST_SUITE_P(Executables, ResourcesTest, ::testing::ValuesIn(ExecutablesToInspect()),
                         [](const ::testing::TestParamInfo<std::wstring>& instance) {
                             return instance.index == 0 ? std::string("UnderTest")
                                                        : std::string("Product32");
                         });

}  // namespace
}  // namespace quillo::gui
