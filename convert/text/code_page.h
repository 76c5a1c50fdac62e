// Character walking in the ANSI code page: searches that must never take the
// trail byte of a double-byte character for an ASCII delimiter.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace quillo {

class CodePage {
public:
    // A code page without lead bytes (Windows-1252, ISO 8859-x, or UTF-8,
    // whose multi-byte sequences never contain ASCII bytes).
    static CodePage SingleByte() { return CodePage(); }

    // Lead bytes given as inclusive [first, last] pairs, as GetCPInfo reports them.
    static CodePage WithLeadByteRanges(
        std::initializer_list<std::pair<unsigned char, unsigned char>> ranges);

    // The code page the running system uses for ANSI text.
    static CodePage System();
    // Windows' double-byte code page `number` (932, 936, 949 or 950), or
    // single bytes for 0; false for any other number.
    static bool Numbered(int number, CodePage& page);

    bool IsLeadByte(unsigned char byte) const { return lead_[byte]; }
    bool HasLeadBytes() const { return hasLeadBytes_; }

    // Offset of the first character equal to `ch` (an ASCII byte), or npos.
    size_t FindFirst(std::string_view text, char ch) const;
    // Offset of the last character equal to `ch`, or npos.
    size_t FindLast(std::string_view text, char ch) const;
    // Calls `piece` with each run of `text` between characters `ch` (an
    // ASCII byte), in order, and `separator` between every two.
    template <typename Piece, typename Separator>
    void Split(std::string_view text, char ch, Piece piece, Separator separator) const {
        size_t start = 0;
        // After an ASCII character the walk is on a character boundary again.
        for (size_t pos; (pos = FindFirst(text.substr(start), ch)) != std::string_view::npos;
             start += pos + 1) {
            piece(text.substr(start, pos));
            separator();
        }
        piece(text.substr(start));
    }
    // Appends `text` to `out`, each character `ch` written as `replacement`.
    void AppendReplacing(std::string& out, std::string_view text, char ch,
                         std::string_view replacement) const;

private:
    // Length of the character starting at `pos`: 2 for a lead byte that has a
    // trail byte after it, else 1.
    size_t CharLength(std::string_view text, size_t pos) const {
        return lead_[static_cast<unsigned char>(text[pos])] && pos + 1 < text.size() ? 2 : 1;
    }

    std::array<bool, 256> lead_{};
    bool hasLeadBytes_ = false;
};

}  // namespace quillo
