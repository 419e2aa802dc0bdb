// Line files: a buffered reader that yields the lines of a file by name, and a buffered
// writer that ends every line with CR LF. Neither holds a whole file in memory, lines
// have no length limit, and neither reports an error: a reader on a file that cannot be
// opened is empty, and a writer on a file that cannot be created drops its output.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "run/text.h"

namespace doc {

// Line ends: LF, or CR LF. A CR not followed by LF stays in the line, except a CR that is
// the last byte of the file. The last line needs no line end, and a final line end gives
// no extra empty line. Bytes pass as they are: no byte-order mark is skipped and a byte 26
// does not end the file.
class LineReader {
 public:
  explicit LineReader(const Text& fileName);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // True when no line is left to read.
  bool atEnd() { return begin_ < end_ ? false : atEndAfterBuffer(); }
  // The next line without its line end; "" when atEnd. The view stays valid until the
  // next readLine, rewind or close of this reader.
  TextView readLine();
  // Passes over up to `count` lines as that many readLine calls would, without making
  // them; returns how many there were, fewer only at the end of the file.
  int64_t skipLines(int64_t count);
  // Back to the first line.
  void rewind();
  void close();

 private:
  bool fill();  // Reads more bytes after the kept ones; false at the end of the file.
  bool atEndAfterBuffer();
  TextView readLineAcrossFill();  // a line that runs past the bytes in the buffer

  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  size_t begin_ = 0;  // first unread byte in buffer_
  size_t end_ = 0;    // one past the last valid byte in buffer_
  bool eof_ = false;  // the file has no bytes beyond buffer_
  Text longLine_;     // a line that does not fit in buffer_
};

// Creates the file, or empties it. Everything written is in the file once it is closed,
// or once endProgram runs while it is still open.
class LineWriter {
 public:
  explicit LineWriter(const Text& fileName);
  ~LineWriter();
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  void writeText(TextView text);
  // The text followed by CR LF.
  void writeLine(TextView text);
  void close();

  // Writes out every writer still open; endProgram calls it.
  static void closeAll();

 private:
  void flush();
  void writeTextAcrossFlush(TextView text);
  void writeLineAcrossFlush(TextView text);

  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  size_t used_ = 0;
  size_t capacity_ = 0;  // size of buffer_; 0 when the file could not be created
  // The writers still open, so that ending the program loses none of their bytes.
  LineWriter* prev_ = nullptr;
  LineWriter* next_ = nullptr;
};

// Every pass calls these once a line, so the common case, a line that lies whole in the
// buffer or fits in it, is here where the compiler can inline it; the rest is in the .cc.

inline TextView LineReader::readLine() {
  if (begin_ < end_) {
    const char* from = buffer_.get() + begin_;
    const void* hit = std::memchr(from, '\n', end_ - begin_);
    if (hit != nullptr) {
      const char* lf = static_cast<const char*>(hit);
      const char* lineEnd = (lf > from && lf[-1] == '\r') ? lf - 1 : lf;
      begin_ += static_cast<size_t>(lf - from) + 1;
      return TextView(from, static_cast<size_t>(lineEnd - from));
    }
  }
  return readLineAcrossFill();
}

inline void LineWriter::writeText(TextView text) {
  if (text.size() <= capacity_ - used_) {
    // An empty view may have no data pointer at all, and memcpy must not see one.
    if (!text.empty()) std::memcpy(buffer_.get() + used_, text.data(), text.size());
    used_ += text.size();
    return;
  }
  writeTextAcrossFlush(text);
}

inline void LineWriter::writeLine(TextView text) {
  if (text.size() + 2 <= capacity_ - used_) {
    char* to = buffer_.get() + used_;
    // An empty view may have no data pointer at all, and memcpy must not see one.
    if (!text.empty()) std::memcpy(to, text.data(), text.size());
    to[text.size()] = '\r';
    to[text.size() + 1] = '\n';
    used_ += text.size() + 2;
    return;
  }
  writeLineAcrossFlush(text);
}

}  // namespace doc
