// The lines of a SubRip file as --fix reads them: whatever its encoding and
// line ends, and with nothing dropped. UTF-16 and UTF-32 are transcoded to
// UTF-8; LF, CR LF and CR CR LF all end a line, and so does a lone CR in a
// file that has CR line ends only; NUL and Ctrl-Z bytes stay in their lines.
// One block at a time, whatever the file's size.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "byte_search.h"
#include "file_encoding.h"
#include "os_file.h"
#include "padded_line.h"
#include "text_file.h"

namespace quillo {

class MendingReader {
public:
    explicit MendingReader(size_t blockSize = kDefaultBlockSize);
    MendingReader(const MendingReader&) = delete;
    MendingReader& operator=(const MendingReader&) = delete;

    // Reads `file`, named `name` in errors.
    void Attach(OsFile file, std::string name);
    void AttachMemory(std::string_view bytes, std::string name);
    void Close() { file_.Close(); }

    // The next line, without its line end; the view holds until the next call
    // and kSearchPadding readable bytes follow it. False after the last line.
    // Throws FileError when the system fails a read.
    bool ReadLine(std::string_view& line) {
        // Almost every line lies whole in the block and ends LF or CR LF.
        if (!crOnly_ && next_ != end_) {
            if (const char* lf = FindBytePadded(next_, end_, '\n'); lf != end_) {
                const char* stop = lf > next_ && lf[-1] == '\r' ? lf - 1 : lf;
                if (stop == next_ || stop[-1] != '\r') {
                    line = std::string_view(next_, static_cast<size_t>(stop - next_));
                    next_ = lf + 1;
                    ++lineNumber_;
                    plainly_ = true;
                    endCrs_ = stop != lf ? 1 : 0;
                    endLf_ = true;
                    if ((noOddBytes_ = lf < odd_) == false) {
                        PassOddBytes();
                    }
                    return true;
                }
            }
        }
        return ReadLineSlowly(line);
    }
    uint64_t LineNumber() const { return lineNumber_; }
    size_t BlockSize() const { return blockSize_; }
    // The last line was read the usual way: not the first, ended LF or CR LF
    // (so neither CR CR LF nor unended), within the block.
    bool LineReadPlainly() const { return plainly_; }
    // The last line read was the file's last and had no line end.
    bool LineUnended() const { return unended_; }
    // The last line is known to hold no NUL and no Ctrl-Z (false where it
    // holds one, or was not read the usual way): found once a block.
    bool LineHoldsNoOddBytes() const { return noOddBytes_; }
    // How the last line read ended in the file: so many CRs, then an LF or
    // not (LF is 0 and true, CR LF 1 and true, a lone CR 1 and false).
    uint32_t LineEndCrs() const { return endCrs_; }
    bool LineEndLf() const { return endLf_; }

    // What was mended on the way, known once the first line was read.
    FileEncoding Encoding() const { return encoding_; }
    // The encoding was told by NULs in the head, without a byte-order mark.
    bool EncodingGuessed() const { return encodingGuessed_; }
    // How many code units that are no character (an unpaired surrogate, a
    // NUL, a unit cut short at the end) became U+FFFD in transcoding.
    uint64_t Replaced() const { return replaced_; }
    bool CrOnly() const { return crOnly_; }
    // The first line that ended CR CR LF (0 while none did).
    uint64_t CrCrLfLine() const { return crCrLfLine_; }

    // How much of the file's start tells its encoding's units and line ends.
    static constexpr size_t kHeadSize = 4096;

private:
    bool ReadLineSlowly(std::string_view& line);
    // Finds the next NUL and Ctrl-Z from next_ on, where the last line read
    // went past one of them.
    void PassOddBytes();
    bool Refill();
    size_t ReadRaw(char* to, size_t size);
    size_t Decode(const char* raw, size_t size, char* out, size_t& consumed);
    bool HeadHasCrOnly() const;

    OsFile file_;
    std::string name_;
    const char* memory_ = nullptr;
    size_t memoryLeft_ = 0;
    bool attached_ = false;
    size_t blockSize_;
    size_t rawCapacity_;
    std::unique_ptr<char[]> raw_;  // bytes as read, [rawBegin_, rawEnd_) not yet handed on
    size_t rawBegin_ = 0;
    size_t rawEnd_ = 0;
    bool sourceDone_ = false;   // the file has no more bytes to read
    bool markSkipped_ = false;  // past the first character of a transcoded file
    std::unique_ptr<char[]> block_;
    const char* next_ = nullptr;
    const char* end_ = nullptr;
    PaddedLine spill_;        // a line across blocks
    bool pendingCr_ = false;  // a CR-only file's block ended in CR: an LF may follow
    bool started_ = false;
    bool atEnd_ = false;
    bool unended_ = false;
    bool plainly_ = false;
    bool noOddBytes_ = false;
    // The first NUL and the first Ctrl-Z at or after next_ in the block (or
    // end_), and the nearer of the two.
    const char* nul_ = nullptr;
    const char* ctrlZ_ = nullptr;
    const char* odd_ = nullptr;
    uint32_t endCrs_ = 0;
    bool endLf_ = false;
    FileEncoding encoding_ = FileEncoding::Bytes;
    bool crOnly_ = false;
    bool encodingGuessed_ = false;
    uint64_t replaced_ = 0;
    uint64_t crCrLfLine_ = 0;
    uint64_t lineNumber_ = 0;
};

}  // namespace quillo
