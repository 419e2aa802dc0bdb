// Line files over stdio streams in binary mode, unbuffered by stdio: the buffers here are
// large, lines are found with memchr, and each system call moves a whole buffer.
#include "run/line_file.h"

#include <cstring>

namespace doc {

namespace {
constexpr size_t kReadBufferSize = size_t{1} << 20;
constexpr size_t kWriteBufferSize = size_t{1} << 20;
LineWriter* openWriters = nullptr;
}  // namespace

LineReader::LineReader(const Text& fileName) {
  file_ = std::fopen(fileName.c_str(), "rb");
  if (file_ != nullptr) {
    std::setvbuf(file_, nullptr, _IONBF, 0);
    buffer_ = std::make_unique_for_overwrite<char[]>(kReadBufferSize);
  } else {
    eof_ = true;
  }
}

LineReader::~LineReader() { close(); }

void LineReader::close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  buffer_.reset();
  begin_ = end_ = 0;
  eof_ = true;
  longLine_ = Text();
}

bool LineReader::fill() {
  if (eof_) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == kReadBufferSize) return true;  // full: the caller takes bytes out first
  const size_t got = std::fread(buffer_.get() + end_, 1, kReadBufferSize - end_, file_);
  if (got == 0) {
    eof_ = true;  // end of file, or a read error such as a folder: no more lines either way
    return false;
  }
  end_ += got;
  return true;
}

bool LineReader::atEndAfterBuffer() {
  if (begin_ < end_) return false;
  return !fill() || begin_ == end_;
}

TextView LineReader::readLineAcrossFill() {
  if (atEnd()) return {};
  // The line may lie in the buffer once more bytes are read behind it.
  size_t searchFrom = begin_;
  for (;;) {
    const void* hit = std::memchr(buffer_.get() + searchFrom, '\n', end_ - searchFrom);
    if (hit != nullptr) {
      const size_t lf = static_cast<size_t>(static_cast<const char*>(hit) - buffer_.get());
      size_t lineEnd = lf;
      if (lineEnd > begin_ && buffer_[lineEnd - 1] == '\r') --lineEnd;
      TextView line(buffer_.get() + begin_, lineEnd - begin_);
      begin_ = lf + 1;
      return line;
    }
    if (end_ - begin_ == kReadBufferSize) break;  // longer than the buffer
    const size_t kept = end_ - begin_;
    if (!fill()) {
      // The last line of the file, without a line end; a final CR is dropped.
      size_t lineEnd = end_;
      if (lineEnd > begin_ && buffer_[lineEnd - 1] == '\r') --lineEnd;
      TextView line(buffer_.get() + begin_, lineEnd - begin_);
      begin_ = end_;
      return line;
    }
    searchFrom = begin_ + kept;
  }

  // Slow path: gather a line longer than the buffer.
  longLine_.assign(buffer_.get() + begin_, end_ - begin_);
  begin_ = end_;
  for (;;) {
    if (!fill()) break;
    const void* hit = std::memchr(buffer_.get() + begin_, '\n', end_ - begin_);
    if (hit != nullptr) {
      const size_t lf = static_cast<size_t>(static_cast<const char*>(hit) - buffer_.get());
      longLine_.append(buffer_.get() + begin_, lf - begin_);
      begin_ = lf + 1;
      break;
    }
    longLine_.append(buffer_.get() + begin_, end_ - begin_);
    begin_ = end_;
  }
  // A CR before the LF belongs to the line end; one at the very end of the file is dropped.
  if (!longLine_.empty() && longLine_.back() == '\r') longLine_.pop_back();
  return longLine_;
}

int64_t LineReader::skipLines(int64_t count) {
  // A pass that needs only some lines of a file skips the others here. Their line ends are
  // counted 64 bytes at a time, and a block whose line ends do not reach the count is
  // passed whole, which costs far less than finding each line end on its own; the block
  // where the count is reached is gone through line by line. Bytes of a line that goes on
  // past the buffer are dropped rather than gathered.
  int64_t skipped = 0;
  bool inLine = false;  // bytes after the last line end passed were dropped
  while (skipped < count) {
    if (begin_ == end_ && !fill()) {
      if (inLine) ++skipped;  // the last line of the file, without a line end
      break;
    }
    const char* const buffer = buffer_.get();
    const char* const from = buffer + begin_;
    const char* const end = buffer + end_;
    const char* at = from;
    for (; end - at >= 64; at += 64) {
      // A comparison gives -1 in each byte that is a line end; four of them summed and
      // negated count up to 4 a byte, and a multiplication adds up the eight bytes of a
      // half (a portable popcount is slow where the processor has no instruction for it).
      const auto sum = (loadBytes16(at) == '\n') + (loadBytes16(at + 16) == '\n') +
                       (loadBytes16(at + 32) == '\n') + (loadBytes16(at + 48) == '\n');
      const auto counts = -sum;
      uint64_t halves[2];
      std::memcpy(halves, &counts, sizeof halves);
      const auto found =
          static_cast<int64_t>(((halves[0] * kOnes) >> 56) + ((halves[1] * kOnes) >> 56));
      if (skipped + found >= count) break;
      skipped += found;
    }
    for (; skipped < count; ++skipped) {
      const void* lf = std::memchr(at, '\n', static_cast<size_t>(end - at));
      if (lf == nullptr) break;
      at = static_cast<const char*>(lf) + 1;
    }
    if (at > from) inLine = at[-1] != '\n';
    if (skipped == count) {
      begin_ = static_cast<size_t>(at - buffer);
      break;
    }
    // No line end is left in the buffer: the line goes on after it, or ends the file.
    if (at < end) inLine = true;
    begin_ = end_;
  }
  return skipped;
}

void LineReader::rewind() {
  if (file_ == nullptr) return;
  std::rewind(file_);
  begin_ = end_ = 0;
  eof_ = false;
}

LineWriter::LineWriter(const Text& fileName) {
  file_ = std::fopen(fileName.c_str(), "wb");
  if (file_ == nullptr) return;
  std::setvbuf(file_, nullptr, _IONBF, 0);
  buffer_ = std::make_unique_for_overwrite<char[]>(kWriteBufferSize);
  capacity_ = kWriteBufferSize;
  next_ = openWriters;
  if (next_ != nullptr) next_->prev_ = this;
  openWriters = this;
}

LineWriter::~LineWriter() { close(); }

void LineWriter::flush() {
  if (used_ > 0) std::fwrite(buffer_.get(), 1, used_, file_);  // a failed write is dropped
  used_ = 0;
}

void LineWriter::writeTextAcrossFlush(TextView text) {
  // An empty view may have no data pointer at all, and memcpy must not see one.
  if (file_ == nullptr || text.empty()) return;
  if (text.size() > kWriteBufferSize - used_) {
    flush();
    if (text.size() >= kWriteBufferSize) {
      std::fwrite(text.data(), 1, text.size(), file_);
      return;
    }
  }
  std::memcpy(buffer_.get() + used_, text.data(), text.size());
  used_ += text.size();
}

void LineWriter::writeLineAcrossFlush(TextView text) {
  writeTextAcrossFlush(text);
  writeText("\r\n");
}

void LineWriter::close() {
  if (file_ == nullptr) return;
  flush();
  std::fclose(file_);
  file_ = nullptr;
  buffer_.reset();
  capacity_ = used_ = 0;
  if (prev_ != nullptr) prev_->next_ = next_;
  else openWriters = next_;
  if (next_ != nullptr) next_->prev_ = prev_;
  prev_ = next_ = nullptr;
}

void LineWriter::closeAll() {
  while (openWriters != nullptr) openWriters->close();
}

}  // namespace doc
