#include "messages.h"

namespace quillo::messages {
namespace {

std::string Replaced(std::string text, std::string_view placeholder, std::string_view value) {
    if (const size_t at = text.find(placeholder); at != std::string::npos) {
        text.replace(at, placeholder.size(), value);
    }
    return text;
}

}  // namespace

std::string WindowText(const Problem& notice) {
    switch (notice.code) {
        case ProblemCode::CannotOpen:
        case ProblemCode::Encoding:  // srt2rt's sources only
            return kCannotOpenSource;
        case ProblemCode::DestinationExists:
            return kDestExists;
        case ProblemCode::CannotOpenDest:
        case ProblemCode::DestinationIsFolder:  // srt2rt's destinations only
        case ProblemCode::CannotReplace:
            return kCannotOpenDest;
        case ProblemCode::OutOfMemory:
            return kOutOfMemory;
        case ProblemCode::CannotOpenSmil:
            return kCannotOpenSmil;
        case ProblemCode::IndexMismatch:
            return Replaced(kLineNumberError, "%d", std::to_string(notice.entry));
        case ProblemCode::TimeFormat:
        case ProblemCode::Retime:  // srt2rt's retiming only
            return Replaced(kTimeFormatError, "%d", std::to_string(notice.entry));
        case ProblemCode::ReadError:
            return kReadFailure;
        default:  // a write-error; the check's own codes never reach the window
            break;
    }
    return kWriteFailure;
}

}  // namespace quillo::messages
