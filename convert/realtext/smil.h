// The SMIL presentation that plays the video beside the RealText stream.
#pragma once

#include <string>
#include <string_view>

#include "code_page.h"
#include "paths.h"
#include "text_file.h"

namespace quillo {

// Where the presentation goes: the source's stem followed by ".smil".
std::string SmilPathFor(const std::string& sourcePath, const CodePage& codePage,
                        char separator = kBackslash);

// The presentation's lines, written to an open file; throws FileError.
void WriteSmilLines(TextWriter& out, std::string_view videoName, std::string_view documentName);

// `text` as it may stand between the double quotes of an XML attribute: "&",
// "<" and '"' written as entities. (srt2rt's names; the window writes its own
// as they stand.)
std::string XmlAttributeText(std::string_view text);

}  // namespace quillo
