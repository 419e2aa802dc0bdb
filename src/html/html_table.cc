// Table blocks: copy to the work file, counting scan, filling scan, and the table written
// row by row from cells read back out of the work file.
//
// A document may hold thousands of blocks, and the file work per block was most of the
// time they took: the work file was removed, made anew, and opened twice more to be read.
// Now it is opened once to be written, over the old file in place (cut to length
// afterwards), and a block of up to kKeptBlockLimit bytes is kept in memory as it is
// copied: once every byte of it has reached the file, the file holds exactly those bytes,
// so the scans read the kept copy instead. A larger block, or one whose copy did not fully
// reach the file, is read back from the file as before.
#include "html/html_table.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "run/file_seek.h"

namespace doc {

namespace {

constexpr TextView kTableTag =
    "<table style=\"font-size:100%\" table align=\"center\" border=\"1\">";

// Bytes for reading headers back, in file order.
constexpr size_t kHeaderWindow = size_t{1} << 16;
// Bytes shared by the windows of all columns while the rows are written, and the least
// one column gets, so that many columns cost little and a few long ones read in big runs.
constexpr size_t kCellWindowBudget = size_t{1} << 22;
constexpr size_t kMinCellWindow = 512;
// Blocks up to this size are kept in memory while they are copied (see the top).
constexpr size_t kKeptBlockLimit = size_t{1} << 20;
// Bytes written to the work file at a time once a block is too large to be kept.
constexpr size_t kCopyChunk = size_t{1} << 16;

// A marker counts when the line, lowered and trimmed, begins with it. Markers end in a
// colon, so trailing blanks never touch them and leading blanks are all that need skipping.
bool beginsWith(TextView line, TextView lowerMarker) {
  return startsWithLowered(trimLeadingBlanks(line), lowerMarker);
}

// One column of the block as the filling scan leaves it. Its cells are rows 1..cellCount,
// and they are consecutive lines of the work file from firstCell on.
struct BlockColumn {
  int64_t headerOffset = 0;  // the column line
  Text align;                // lowered alignment value; "" when its cells are plain
  int64_t firstCell = 0;     // the line of row 1
  int64_t cellsEnd = 0;      // just past the line of the last cell
  int64_t cellCount = 0;     // never above maxRows
};

// Bytes of the work file from `start` on, read on demand.
struct Window {
  std::unique_ptr<char[]> bytes;  // not zeroed: only the bytes read into it are looked at
  size_t capacity = 0;            // the size of one read
  int64_t start = 0;
  size_t size = 0;  // bytes valid from start
};

void allocateWindow(Window& window, size_t capacity) {
  window.bytes = std::make_unique_for_overwrite<char[]>(capacity);
  window.capacity = capacity;
}

// The work file as the scans read it: the kept copy of the block, or the file itself.
struct WorkFile {
  bool kept = false;
  TextView bytes;             // every byte of the work file, when kept
  std::FILE* file = nullptr;  // when not kept; nullptr when it cannot be opened
};

// The line that begins at `offset`, as a LineReader would give it; returns the offset of
// the line after it, which is `offset` itself at the end of the file, where the line is "".
// A kept line is a view into the kept bytes; a line from the file lies in `scratch`.
int64_t readLineAt(const WorkFile& work, Window& window, int64_t offset, Text& scratch,
                   TextView& line) {
  if (work.kept) {
    const auto from = static_cast<size_t>(offset);
    if (from >= work.bytes.size()) {
      line = {};
      return offset;
    }
    const size_t lf = work.bytes.find('\n', from);
    const size_t end = lf == TextView::npos ? work.bytes.size() : lf;
    line = work.bytes.substr(from, end - from);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return static_cast<int64_t>(lf == TextView::npos ? end : lf + 1);
  }
  scratch.clear();
  int64_t at = offset;
  for (;;) {
    const int64_t windowEnd = window.start + static_cast<int64_t>(window.size);
    if (at < window.start || at >= windowEnd) {
      window.start = at;
      window.size = 0;
      if (work.file != nullptr && window.capacity > 0 && seekFile(work.file, at))
        window.size = std::fread(window.bytes.get(), 1, window.capacity, work.file);
      if (window.size == 0) break;  // end of the file: a final CR is dropped, as when read
    }
    const size_t from = static_cast<size_t>(at - window.start);
    const char* begin = window.bytes.get() + from;
    const size_t left = window.size - from;
    const void* lf = std::memchr(begin, '\n', left);
    if (lf != nullptr) {
      const auto length = static_cast<size_t>(static_cast<const char*>(lf) - begin);
      scratch.append(begin, length);
      at += static_cast<int64_t>(length) + 1;
      break;
    }
    scratch.append(begin, left);
    at += static_cast<int64_t>(left);
  }
  if (!scratch.empty() && scratch.back() == '\r') scratch.pop_back();
  line = scratch;
  return at;
}

// Reads the work file's lines in order.
struct WorkReader {
  const WorkFile* work = nullptr;
  Window window;
  int64_t offset = 0;  // where the next line begins
  Text scratch;
};

WorkReader startReading(const WorkFile& work) {
  WorkReader reader;
  reader.work = &work;
  if (!work.kept) allocateWindow(reader.window, kHeaderWindow);
  return reader;
}

// The next line into `line`; false at the end of the file, where the line is "". The line
// stays valid until the next read.
bool readNext(WorkReader& reader, TextView& line) {
  const int64_t next = readLineAt(*reader.work, reader.window, reader.offset, reader.scratch, line);
  if (next == reader.offset) return false;
  reader.offset = next;
  return true;
}

// The counting scan: the number of rows, the largest cell count of a column. The last
// column's count is folded in only when the end line is met.
int64_t countRows(const WorkFile& work) {
  WorkReader reader = startReading(work);
  int64_t rowCount = 0;
  int64_t maxRows = 0;
  int64_t columnCount = 0;
  TextView line;
  const auto nextLineSteps = [&] {
    // The line after a column line is its first cell unless it is an alignment line,
    // whatever else it is; it is read without looking for the end of the file.
    readNext(reader, line);
    rowCount = beginsWith(line, "align:") ? 0 : 1;
  };
  while (readNext(reader, line)) {
    ++rowCount;
    if (beginsWith(line, "column:")) {
      if (columnCount > 0) maxRows = std::max(maxRows, rowCount - 1);
      ++columnCount;
      nextLineSteps();
    } else if (columnCount > 0 && beginsWith(line, "table_end:")) {
      maxRows = std::max(maxRows, rowCount - 1);
      break;
    }
  }
  return maxRows;
}

// The filling scan: each column's header line, alignment and run of cells. A cell whose
// row lies beyond maxRows (only the last column of a block without an end line has one)
// is left out, as the table has no row for it.
std::vector<BlockColumn> findColumns(const WorkFile& work, int64_t maxRows, bool& anyHeader) {
  std::vector<BlockColumn> columns;
  anyHeader = false;
  WorkReader reader = startReading(work);
  int64_t lineOffset = 0;
  TextView line;
  // The next line and where it begins; a read past the last line yields "".
  const auto read = [&] {
    lineOffset = reader.offset;
    return readNext(reader, line);
  };
  int64_t rowCount = 0;
  while (read()) {
    ++rowCount;
    if (beginsWith(line, "column:")) {
      rowCount = 0;
      BlockColumn& column = columns.emplace_back();
      column.headerOffset = lineOffset;
      if (!sliceText(trimBlanks(line), 9, -1).empty()) anyHeader = true;
      read();
      ++rowCount;
      if (beginsWith(line, "align:")) {
        rowCount = 0;
        column.align = toLowerAscii(sliceText(trimBlanks(line), 8, -1));
        continue;
      }
    }
    if (beginsWith(line, "table_end:")) break;
    if (!columns.empty() && rowCount > 0 && rowCount <= maxRows) {
      BlockColumn& column = columns.back();
      if (rowCount == 1) column.firstCell = lineOffset;
      column.cellCount = rowCount;
      column.cellsEnd = reader.offset;
    }
  }
  return columns;
}

// Where the row pass stands in one column.
struct ColumnCursor {
  Window window;
  int64_t next = 0;  // offset of the next cell's line
};

void writeHeaderRow(const WorkFile& work, const std::vector<BlockColumn>& columns, LineWriter& out,
                    Text& scratch, Text& pageLine) {
  Window window;
  if (!work.kept) allocateWindow(window, kHeaderWindow);
  out.writeLine("<tr>");
  TextView line;
  for (const BlockColumn& column : columns) {
    readLineAt(work, window, column.headerOffset, scratch, line);
    pageLine.assign("<th>");
    pageLine.append(sliceText(trimBlanks(line), 9, -1));
    pageLine.append("</th>");
    out.writeLine(pageLine);
  }
  out.writeLine("</tr>");
}

// Rows 1..maxRows, each with one cell line per column; a column shorter than the table gets
// a plain empty cell for each missing row, with or without an alignment.
void writeRows(const WorkFile& work, const std::vector<BlockColumn>& columns, int64_t maxRows,
               LineWriter& out, Text& scratch, Text& pageLine) {
  std::vector<ColumnCursor> cursors(columns.size());
  size_t columnsWithCells = 0;
  for (size_t j = 0; j < columns.size(); ++j) {
    cursors[j].next = columns[j].firstCell;
    if (columns[j].cellCount > 0) ++columnsWithCells;
  }
  const size_t share =
      std::max(kMinCellWindow, kCellWindowBudget / std::max<size_t>(columnsWithCells, 1));
  TextView line;
  for (int64_t r = 1; r <= maxRows; ++r) {
    out.writeLine("<tr>");
    for (size_t j = 0; j < columns.size(); ++j) {
      const BlockColumn& column = columns[j];
      if (r > column.cellCount) {
        out.writeLine("<td></td>");
        continue;
      }
      ColumnCursor& cursor = cursors[j];
      // A kept block is read in place; the file is read through a window per column.
      if (!work.kept && cursor.window.capacity == 0) {
        const auto region =
            static_cast<size_t>(std::max<int64_t>(column.cellsEnd - column.firstCell, 1));
        allocateWindow(cursor.window, std::min(share, region));
      }
      cursor.next = readLineAt(work, cursor.window, cursor.next, scratch, line);
      if (r == column.cellCount) cursor.window = Window();
      if (column.align.empty()) {
        pageLine.assign("<td>");
      } else {
        pageLine.assign("<td align=\"");
        pageLine.append(column.align);
        pageLine.append("\">");
      }
      pageLine.append(trimBlanks(line));
      pageLine.append("</td>");
      out.writeLine(pageLine);
    }
    out.writeLine("</tr>");
  }
}

// The copy of a block into the work file while it is being written.
struct WorkCopy {
  std::FILE* file = nullptr;
  bool inPlace = false;   // written over an existing file, which is cut to length at the end
  bool complete = true;   // every byte handed over so far reached the file
  bool kept = true;       // `bytes` holds the whole block so far
  uintmax_t written = 0;  // bytes that reached the file
  Text bytes;             // the kept block; once it is not kept, the bytes not yet written
};

// Opens the work file for a new block. A regular file that is there already (most often
// the one the block before left) is written over in place: emptying a file that was just
// written makes ext4 wait for its bytes to reach the disk, and removing it and making a new
// one costs several times what opening it does. A file that cannot be opened so, and a
// link, is removed and the file made anew; anything else is left for the open to fail on.
void openWorkCopy(const Text& name, WorkCopy& copy) {
  namespace fs = std::filesystem;
  std::error_code ignored;
  if (fs::symlink_status(name, ignored).type() == fs::file_type::regular) {
    copy.file = std::fopen(name.c_str(), "r+b");
    copy.inPlace = copy.file != nullptr;
  }
  if (copy.file == nullptr) {
    if (fs::is_regular_file(name, ignored)) fs::remove(name, ignored);
    copy.file = std::fopen(name.c_str(), "wb");
  }
  if (copy.file != nullptr) {
    std::setvbuf(copy.file, nullptr, _IONBF, 0);  // the copy buffers for itself
  } else {
    copy.complete = false;
  }
}

void writeOut(WorkCopy& copy, TextView bytes) {
  if (copy.file == nullptr || bytes.empty()) return;
  const size_t done = std::fwrite(bytes.data(), 1, bytes.size(), copy.file);
  copy.written += done;
  if (done != bytes.size()) copy.complete = false;  // the file then ends short, as it is
}

void copyLine(WorkCopy& copy, TextView line) {
  const size_t size = line.size() + 2;
  if (copy.kept && copy.bytes.size() + size > kKeptBlockLimit) copy.kept = false;
  if (!copy.kept && copy.bytes.size() + size > kCopyChunk) {
    writeOut(copy, copy.bytes);
    copy.bytes.clear();
    if (size > kCopyChunk) {  // a long line goes out directly rather than through a copy
      writeOut(copy, line);
      writeOut(copy, "\r\n");
      return;
    }
  }
  copy.bytes.append(line);
  copy.bytes.append("\r\n");
}

// Writes out the rest of the copy and closes the file, which then holds exactly the bytes
// written to it, or the copy is marked incomplete.
void closeWorkCopy(const Text& name, WorkCopy& copy) {
  writeOut(copy, copy.bytes);
  if (!copy.kept) copy.bytes.clear();
  if (copy.file == nullptr) return;
  if (std::fclose(copy.file) != 0) copy.complete = false;
  copy.file = nullptr;
  if (copy.inPlace) {
    // The file written over may have been longer than this block.
    std::error_code failed;
    const uintmax_t size = std::filesystem::file_size(name, failed);
    if (!failed && size != copy.written) std::filesystem::resize_file(name, copy.written, failed);
    if (failed) copy.complete = false;
  }
}

}  // namespace

void writeTableBlock(TextView startLine, LineReader& page, LineWriter& out, TextView baseName,
                     int64_t& bodyLineNumber) {
  const Text caption(sliceText(trimBlanks(startLine), 14, -1));
  Text workFileName(baseName);
  workFileName.append("_table.txt");

  // The copy. The work file's lines are counted as they are written, so that the body
  // pass stays in step with the page reader even when the work file cannot be made.
  int64_t tableLineCount = 1;
  WorkCopy copy;
  openWorkCopy(workFileName, copy);
  copyLine(copy, startLine);
  while (!page.atEnd()) {
    const TextView line = page.readLine();
    copyLine(copy, line);
    ++tableLineCount;
    if (beginsWith(line, "table_end:")) break;
  }
  closeWorkCopy(workFileName, copy);

  // The scans read what the work file holds: the kept copy when the file holds just that,
  // otherwise the file itself.
  WorkFile work;
  if (copy.kept && copy.complete) {
    work.kept = true;
    work.bytes = copy.bytes;
  } else {
    work.file = std::fopen(workFileName.c_str(), "rb");
    if (work.file != nullptr) std::setvbuf(work.file, nullptr, _IONBF, 0);  // windows buffer
  }
  const int64_t maxRows = countRows(work);
  bool anyHeader = false;
  const std::vector<BlockColumn> columns = findColumns(work, maxRows, anyHeader);

  out.writeLine(kTableTag);
  if (!caption.empty()) {
    Text pageLine("<caption><b>");
    pageLine.append(caption);
    pageLine.append("</b></caption>");
    out.writeLine(pageLine);
  }
  if (anyHeader || maxRows > 0) {
    Text scratch;
    Text pageLine;
    if (anyHeader) writeHeaderRow(work, columns, out, scratch, pageLine);
    writeRows(work, columns, maxRows, out, scratch, pageLine);
  }
  out.writeLine(" </table>");
  if (work.file != nullptr) std::fclose(work.file);

  // The start line was counted by the body pass already.
  bodyLineNumber += tableLineCount - 1;
}

}  // namespace doc
