// What a conversion tells whoever runs it: the window, the command-line
// converter and the tests each word these notices in their own way.
#pragma once

#include <cstdint>
#include <string_view>

#include "file_encoding.h"
#include "text_file.h"

namespace quillo {

enum class NoticeKind {
    CannotOpenSource,
    DestinationExists,  // the one question: replace it?
    CannotOpenDest,
    DestinationIsFolder,  // srt2rt's: a folder stands where its destination would go
    CannotOpenSmil,
    LineNumberError,  // an entry's index line does not match its ordinal
    TimeFormatError,  // an entry's time line does not read
    FileFailure,      // a read, write or close of an open file failed
    CannotReplace,    // srt2rt's: the complete document could not be renamed into place
    OutOfMemory,      // a line of the source is too long to hold in memory
    // srt2rt's: the source is UTF-16 or UTF-32, whose bytes the converter
    // would take for text cut at every NUL; told before anything is written.
    WideEncoding,
    // srt2rt's: a timing option would move an entry's time before 0:00 or
    // past the latest time a document holds.
    TimeOutOfRange,
};

struct Notice {
    NoticeKind kind;
    std::string_view file;  // the path concerned; for FileFailure its full path
    int32_t entry = 0;      // the failing entry's ordinal, from 1
    uint64_t line = 0;  // the source line the entry error, a failed read or OutOfMemory stands on
    FileOperation operation = FileOperation::Read;
    int systemError = 0;  // errno or GetLastError(); 0 when the system gave none
    FileEncoding encoding = FileEncoding::Bytes;  // WideEncoding's
};

class RunHost {
public:
    virtual ~RunHost() = default;
    // The DestinationExists question (Yes is the default); true only for Yes.
    virtual bool Ask(const Notice& question) = 0;
    virtual void Tell(const Notice& notice) = 0;
};

}  // namespace quillo
