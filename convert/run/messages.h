// The window's texts for what a conversion tells it. File-failure texts are UTF-8
// and hold "%1" where the file's full path goes.
#pragma once

#include <string>
#include <string_view>

#include "problem.h"

namespace quillo::messages {

inline constexpr char kErrorCaption[] = "Error";
inline constexpr char kWarningCaption[] = "Warning";

inline constexpr char kCannotOpenSource[] = "Unable to open '.srt' file.";
inline constexpr char kCannotOpenDest[] = "Unable to open '.rt' file.";
inline constexpr char kCannotOpenSmil[] = "Unable to open '.smil' file.";
inline constexpr char kDestExists[] = "File '.rt' exists. Do you really want to overwrite it?";
inline constexpr char kLineNumberError[] = "Line %d . Line number error in .srt file.";
inline constexpr char kTimeFormatError[] = "Line %d . Time format error in .srt file.";

// As the window says of any exception that reaches it.
inline constexpr char kOutOfMemory[] = "An unexpected error occurred: std::bad_alloc.";

inline constexpr char kReadFailure[] =
    "Une erreur inconnue s'est produite lors de l'acc\xC3\xA8s \xC3\xA0 %1.";
inline constexpr char kWriteFailure[] = "Disque plein lors de l'acc\xC3\xA8s \xC3\xA0 %1.";

// The window's text for `notice`, with the entry's ordinal in place of "%d".
// A file failure's text keeps its "%1": the path is in the ANSI code page,
// the text in UTF-8, and only the window knows how to join them.
std::string WindowText(const Problem& notice);

// The caption of the window's box: "Warning" for the question, "Error" for
// the rest (a file failure is captioned by the program's name instead).
inline const char* WindowCaption(ProblemCode code) {
    return code == ProblemCode::DestinationExists ? kWarningCaption : kErrorCaption;
}

}  // namespace quillo::messages
