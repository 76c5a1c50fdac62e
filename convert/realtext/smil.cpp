#include "smil.h"

namespace quillo {

std::string SmilPathFor(const std::string& sourcePath, const CodePage& codePage, char separator) {
    return Stem(sourcePath, codePage, separator) + ".smil";
}

void WriteSmilLines(TextWriter& out, std::string_view videoName, std::string_view documentName) {
    std::string line;
    out.WriteLine("<smil>");
    out.WriteLine("<body>");
    out.WriteLine("<par>");
    line.append("<video src=\"").append(videoName).append("\"/>");
    out.WriteLine(line);
    line.assign("<textstream src=\"").append(documentName).append("\"/>");
    out.WriteLine(line);
    out.WriteLine("</par>");
    out.WriteLine("</body>");
    out.WriteLine("</smil>\t");
}

std::string XmlAttributeText(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

}  // namespace quillo
