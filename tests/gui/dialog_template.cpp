#include "dialog_template.h"

#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace quillo::gui {

namespace {

constexpr std::uint16_t kOrdinalMark = 0xFFFF;

// Walks a template's bytes; every read is checked against the end.
class TemplateReader {
public:
    explicit TemplateReader(std::string_view bytes) : bytes_(bytes) {}

    std::uint16_t Word() { return Read<std::uint16_t>(); }
    std::uint32_t Dword() { return Read<std::uint32_t>(); }
    std::int16_t Short() { return Read<std::int16_t>(); }
    std::uint8_t Byte() { return Read<std::uint8_t>(); }

    std::wstring String() {
        std::wstring text;
        for (std::uint16_t ch = Word(); ch != 0; ch = Word()) {
            text.push_back(static_cast<wchar_t>(ch));
        }
        return text;
    }

    // A name that may instead be a number: empty, 0xFFFF + ordinal, or a string.
    void NameOrOrdinal(std::wstring& name, int& ordinal) {
        ordinal = -1;
        const std::uint16_t first = Word();
        if (first == 0) {
            name.clear();
        } else if (first == kOrdinalMark) {
            ordinal = Word();
            name.clear();
        } else {
            pos_ -= 2;
            name = String();
        }
    }

    DialogUnitsRect Rect() {
        DialogUnitsRect rect;
        rect.x = Short();
        rect.y = Short();
        rect.width = Short();
        rect.height = Short();
        return rect;
    }

    void AlignToDword() { pos_ = (pos_ + 3) & ~size_t{3}; }
    void Skip(size_t count) {
        Need(count);
        pos_ += count;
    }

private:
    void Need(size_t count) const {
        if (pos_ + count > bytes_.size()) {
            throw std::runtime_error("dialog template ends too early");
        }
    }
    template <typename T>
    T Read() {
        Need(sizeof(T));
        T value;
        std::memcpy(&value, bytes_.data() + pos_, sizeof(T));
        pos_ += sizeof(T);
        return value;
    }

    std::string_view bytes_;
    size_t pos_ = 0;
};

// Class names are not case-sensitive; templates may spell them either way.
std::wstring CanonicalClassName(const std::wstring& name) {
    for (const wchar_t* known :
         {L"Button", L"Edit", L"Static", L"ListBox", L"ScrollBar", L"ComboBox"}) {
        if (lstrcmpiW(name.c_str(), known) == 0) {
            return known;
        }
    }
    return name;
}

std::wstring PredefinedClassName(int ordinal) {
    switch (ordinal) {
        case 0x80:
            return L"Button";
        case 0x81:
            return L"Edit";
        case 0x82:
            return L"Static";
        case 0x83:
            return L"ListBox";
        case 0x84:
            return L"ScrollBar";
        case 0x85:
            return L"ComboBox";
        default:
            return L"#" + std::to_wstring(ordinal);
    }
}

ControlTemplate ReadControl(TemplateReader& reader, bool extended) {
    ControlTemplate control;
    reader.AlignToDword();
    if (extended) {
        reader.Dword();  // help context
        control.exStyle = reader.Dword();
        control.style = reader.Dword();
        control.rect = reader.Rect();
        control.id = static_cast<int>(reader.Dword());
    } else {
        control.style = reader.Dword();
        control.exStyle = reader.Dword();
        control.rect = reader.Rect();
        const std::uint16_t id = reader.Word();
        control.id = id == 0xFFFF ? -1 : id;
    }
    int classOrdinal = -1;
    reader.NameOrOrdinal(control.className, classOrdinal);
    control.className = classOrdinal >= 0 ? PredefinedClassName(classOrdinal)
                                          : CanonicalClassName(control.className);
    reader.NameOrOrdinal(control.text, control.textOrdinal);
    reader.Skip(reader.Word());  // creation data
    return control;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const DialogUnitsRect& rect) {
    return out << "{" << rect.x << ", " << rect.y << ", " << rect.width << ", " << rect.height
               << "}";
}

DialogTemplate ParseDialogTemplate(std::string_view bytes) {
    TemplateReader reader(bytes);
    DialogTemplate dialog;
    std::uint16_t controlCount = 0;
    const std::uint16_t version = reader.Word();
    const std::uint16_t signature = reader.Word();
    dialog.extended = version == 1 && signature == 0xFFFF;
    if (dialog.extended) {
        reader.Dword();  // help context
        dialog.exStyle = reader.Dword();
        dialog.style = reader.Dword();
    } else {
        dialog.style = static_cast<DWORD>(version) | static_cast<DWORD>(signature) << 16;
        dialog.exStyle = reader.Dword();
    }
    controlCount = reader.Word();
    dialog.rect = reader.Rect();
    std::wstring name;
    int ordinal = -1;
    reader.NameOrOrdinal(name, ordinal);  // menu
    reader.NameOrOrdinal(name, ordinal);  // window class
    dialog.caption = reader.String();
    if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
        dialog.pointSize = reader.Word();
        if (dialog.extended) {
            reader.Word();  // weight
            reader.Byte();  // italic
            reader.Byte();  // character set
        }
        dialog.typeface = reader.String();
    }
    for (int i = 0; i < controlCount; ++i) {
        dialog.controls.push_back(ReadControl(reader, dialog.extended));
    }
    return dialog;
}

}  // namespace quillo::gui
