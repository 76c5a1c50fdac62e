// The SMIL presentation that plays the video beside the RealText stream.
#pragma once

#include <string>

#include "code_page.h"
#include "conversion.h"
#include "paths.h"

namespace quillo {

struct SmilRequest {
    bool create = false;
    std::string videoPath;
    std::string sourcePath;  // the SMIL file is named after the source's stem
    std::string destPath;    // the RealText document the presentation streams
    char separator = kBackslash;
};

// Where the presentation goes: the source's stem followed by ".smil".
std::string SmilPathFor(const std::string& sourcePath, const CodePage& codePage,
                        char separator = kBackslash);

// Writes the presentation when it was asked for and a video is named,
// replacing any file of that name. Completed when there was nothing to do too.
RunOutcome WriteSmilFile(const SmilRequest& request, const CodePage& codePage, RunHost& host);

// The presentation's lines, written to an open file; throws FileError.
void WriteSmilLines(TextWriter& out, std::string_view videoName, std::string_view documentName);

// `text` as it may stand between the double quotes of an XML attribute: "&",
// "<" and '"' written as entities. (srt2rt's names; the window writes its own
// as they stand.)
std::string XmlAttributeText(std::string_view text);

}  // namespace quillo
