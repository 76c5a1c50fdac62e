// The texts the conversion shows its user. File-failure texts are UTF-8 and
// hold "%1" where the file's full path goes.
#pragma once

#include "text_file.h"

namespace quillo::messages {

inline constexpr char kErrorCaption[] = "Error";
inline constexpr char kWarningCaption[] = "Warning";

inline constexpr char kCannotOpenSource[] = "Unable to open '.srt' file.";
inline constexpr char kCannotOpenDest[] = "Unable to open '.rt' file.";
inline constexpr char kCannotOpenSmil[] = "Unable to open '.smil' file.";
inline constexpr char kDestExists[] = "File '.rt' exists. Do you really want to overwrite it?";
inline constexpr char kLineNumberError[] = "Line %d . Line number error in .srt file.";
inline constexpr char kTimeFormatError[] = "Line %d . Time format error in .srt file.";

inline constexpr char kReadFailure[] =
    "Une erreur inconnue s'est produite lors de l'acc\xC3\xA8s \xC3\xA0 %1.";
inline constexpr char kWriteFailure[] = "Disque plein lors de l'acc\xC3\xA8s \xC3\xA0 %1.";

inline const char* FileFailureTemplate(FileOperation operation) {
    return operation == FileOperation::Read ? kReadFailure : kWriteFailure;
}

}  // namespace quillo::messages
