// The documents Quillo writes, built independently of the program, for the
// core, command-line and GUI tests alike.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillo::test {

inline std::string RealTextDocument(const std::vector<std::string>& entryLines,
                                    bool complete = true) {
    std::string document =
        "<window duration=\"3:00:00.00\" width=\"640\" height=\"50\" wordwrap=\"true\" "
        "loop=\"true\" bgcolor=\"black\">\r\n"
        "<font color=\"white\" face=\"Arial\" size=\"+2\">\r\n"
        "<center>\r\n"
        "<b>\r\n";
    for (const std::string& line : entryLines) {
        document += line + "\r\n";
    }
    if (complete) {
        document += "</b>\r\n</center>\r\n</font>\r\n</window>\r\n";
    }
    return document;
}

inline std::string SmilDocument(std::string_view videoName, std::string_view documentName) {
    return "<smil>\r\n<body>\r\n<par>\r\n<video src=\"" + std::string(videoName) +
           "\"/>\r\n<textstream src=\"" + std::string(documentName) +
           "\"/>\r\n</par>\r\n</body>\r\n</smil>\t\r\n";
}

// A short subtitle file and the document it converts to.
inline constexpr char kTwoEntrySource[] =
    "1\r\n00:00:01,000 --> 00:00:02,500\r\nHi\r\n\r\n"
    "2\r\n00:00:03,000 --> 00:00:04,000\r\nA|B\r\nC\r\n";

inline std::string TwoEntryDocument() {
    return RealTextDocument({
        "<Time Begin=\"0:00:01.00\" End=\"0:00:02.50\" /><clear/> Hi",
        "<Time Begin=\"0:00:03.00\" End=\"0:00:04.00\" /><clear/> A<BR>B<BR>C",
    });
}

}  // namespace quillo::test
