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

std::string WindowText(const Notice& notice) {
    switch (notice.kind) {
        case NoticeKind::CannotOpenSource:
        case NoticeKind::WideEncoding:  // srt2rt's sources only
            return kCannotOpenSource;
        case NoticeKind::DestinationExists:
            return kDestExists;
        case NoticeKind::CannotOpenDest:
        case NoticeKind::DestinationIsFolder:  // srt2rt's destinations only
        case NoticeKind::CannotReplace:
            return kCannotOpenDest;
        case NoticeKind::OutOfMemory:
            return kOutOfMemory;
        case NoticeKind::CannotOpenSmil:
            return kCannotOpenSmil;
        case NoticeKind::LineNumberError:
            return Replaced(kLineNumberError, "%d", std::to_string(notice.entry));
        case NoticeKind::TimeFormatError:
        case NoticeKind::TimeOutOfRange:  // srt2rt's retiming only
            return Replaced(kTimeFormatError, "%d", std::to_string(notice.entry));
        case NoticeKind::FileFailure:
            break;
    }
    return notice.operation == FileOperation::Read ? kReadFailure : kWriteFailure;
}

}  // namespace quillo::messages
