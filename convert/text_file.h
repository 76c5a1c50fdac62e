// Text files as the converter reads and writes them: one line at a time,
// without its line end, and every line written ending in CR LF.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "os_file.h"

namespace quillo {

enum class FileOperation { Read, Write };

// Thrown when the system fails a read, write or close of an open file. The
// run catches it and tells the user which file failed and how.
struct FileError {
    FileOperation operation;
    std::string fullPath;
};

class TextReader {
public:
    TextReader();
    ~TextReader();

    // Opens `path` for reading without sharing; false when it cannot be opened.
    bool Open(const std::string& path);
    // Reads from an already open file (standard input); `name` names it in errors.
    void Attach(OsFile file, std::string name);
    bool IsOpen() const { return file_.IsOpen(); }

    // Reads the next line into `line`, without its line end. LF and CR LF end
    // a line; a CR not followed by LF stays in it. A Ctrl-Z ends the file
    // where it stands; a NUL cuts its line there. The last line comes back
    // with or without a line end; after it every call returns false and an
    // empty line. Throws FileError when the system fails the read.
    bool ReadLine(std::string& line);

    void Close();

private:
    bool Refill();

    OsFile file_;
    std::string name_;
    std::unique_ptr<char[]> buffer_;
    size_t begin_ = 0;  // unread bytes are buffer_[begin_, end_)
    size_t end_ = 0;
    bool atEnd_ = false;  // end of file, a Ctrl-Z, or a failed read seen
};

class TextWriter {
public:
    TextWriter();
    ~TextWriter();  // closes without reporting; call Close() to learn of failures

    // Creates `path` or empties it, without sharing; false when it cannot.
    bool Open(const std::string& path);
    void Attach(OsFile file, std::string name);
    bool IsOpen() const { return file_.IsOpen(); }

    // Writes `text` and a CR LF; any LF inside `text` is written as CR LF too.
    // Throws FileError when the system fails a write.
    void WriteLine(std::string_view text);
    // Flushes and closes; throws FileError when either fails. Closed either way.
    void Close();

private:
    void Put(const char* data, size_t size);
    void Flush();

    OsFile file_;
    std::string name_;
    std::unique_ptr<char[]> buffer_;
    size_t used_ = 0;
    bool failed_ = false;  // a write failed: do not retry it when closing
};

}  // namespace quillo
