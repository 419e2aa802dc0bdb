// Table blocks: copy to the work file, counting scan, filling scan, and the table written
// row by row from cells read back out of the work file.
#include "html/html_table.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
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

// The counting scan: the number of rows, the largest cell count of a column. The last
// column's count is folded in only when the end line is met.
int64_t countRows(LineReader& work) {
  int64_t rowCount = 0;
  int64_t maxRows = 0;
  int64_t columnCount = 0;
  const auto nextLineSteps = [&] {
    // The line after a column line is its first cell unless it is an alignment line,
    // whatever else it is; it is read without looking for the end of the file.
    rowCount = beginsWith(work.readLine(), "align:") ? 0 : 1;
  };
  while (!work.atEnd()) {
    const TextView line = work.readLine();
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
std::vector<BlockColumn> findColumns(LineReader& work, int64_t maxRows, bool& anyHeader) {
  std::vector<BlockColumn> columns;
  anyHeader = false;
  // Every line of the work file was written with CR LF, so each takes its length plus two.
  int64_t nextOffset = 0;
  int64_t lineOffset = 0;
  const auto read = [&]() -> TextView {
    lineOffset = nextOffset;
    if (work.atEnd()) return {};  // a read past the last line yields ""
    const TextView line = work.readLine();
    nextOffset += static_cast<int64_t>(line.size()) + 2;
    return line;
  };
  int64_t rowCount = 0;
  while (!work.atEnd()) {
    TextView line = read();
    ++rowCount;
    if (beginsWith(line, "column:")) {
      rowCount = 0;
      BlockColumn& column = columns.emplace_back();
      column.headerOffset = lineOffset;
      if (!sliceText(trimBlanks(line), 9, -1).empty()) anyHeader = true;
      line = read();
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
      column.cellsEnd = nextOffset;
    }
  }
  return columns;
}

// Bytes of the work file from `start` on, read on demand.
struct Window {
  std::vector<char> bytes;  // its capacity is the size of one read
  int64_t start = 0;
  size_t size = 0;  // bytes valid from start
};

// The line that begins at `offset`, as a LineReader would give it; returns the offset of
// the line after it. At the end of the file the line is "".
int64_t readLineAt(std::FILE* file, Window& window, int64_t offset, Text& line) {
  line.clear();
  int64_t at = offset;
  for (;;) {
    const int64_t windowEnd = window.start + static_cast<int64_t>(window.size);
    if (at < window.start || at >= windowEnd) {
      window.start = at;
      window.size = 0;
      if (file != nullptr && !window.bytes.empty() && seekFile(file, at))
        window.size = std::fread(window.bytes.data(), 1, window.bytes.size(), file);
      if (window.size == 0) break;  // end of the file: a final CR is dropped, as when read
    }
    const size_t from = static_cast<size_t>(at - window.start);
    const char* begin = window.bytes.data() + from;
    const size_t left = window.size - from;
    const void* lf = std::memchr(begin, '\n', left);
    if (lf != nullptr) {
      const auto length = static_cast<size_t>(static_cast<const char*>(lf) - begin);
      line.append(begin, length);
      at += static_cast<int64_t>(length) + 1;
      break;
    }
    line.append(begin, left);
    at += static_cast<int64_t>(left);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return at;
}

// Where the row pass stands in one column.
struct ColumnCursor {
  Window window;
  int64_t next = 0;  // offset of the next cell's line
};

void writeHeaderRow(std::FILE* file, const std::vector<BlockColumn>& columns, LineWriter& out,
                    Text& line, Text& pageLine) {
  Window window;
  window.bytes.resize(kHeaderWindow);
  out.writeLine("<tr>");
  for (const BlockColumn& column : columns) {
    readLineAt(file, window, column.headerOffset, line);
    pageLine.assign("<th>");
    pageLine.append(sliceText(trimBlanks(line), 9, -1));
    pageLine.append("</th>");
    out.writeLine(pageLine);
  }
  out.writeLine("</tr>");
}

// Rows 1..maxRows, each with one cell line per column; a column shorter than the table gets
// a plain empty cell for each missing row, with or without an alignment.
void writeRows(std::FILE* file, const std::vector<BlockColumn>& columns, int64_t maxRows,
               LineWriter& out, Text& line, Text& pageLine) {
  std::vector<ColumnCursor> cursors(columns.size());
  size_t columnsWithCells = 0;
  for (size_t j = 0; j < columns.size(); ++j) {
    cursors[j].next = columns[j].firstCell;
    if (columns[j].cellCount > 0) ++columnsWithCells;
  }
  const size_t share =
      std::max(kMinCellWindow, kCellWindowBudget / std::max<size_t>(columnsWithCells, 1));
  for (int64_t r = 1; r <= maxRows; ++r) {
    out.writeLine("<tr>");
    for (size_t j = 0; j < columns.size(); ++j) {
      const BlockColumn& column = columns[j];
      if (r > column.cellCount) {
        out.writeLine("<td></td>");
        continue;
      }
      ColumnCursor& cursor = cursors[j];
      if (cursor.window.bytes.empty()) {
        const auto region =
            static_cast<size_t>(std::max<int64_t>(column.cellsEnd - column.firstCell, 1));
        cursor.window.bytes.resize(std::min(share, region));
      }
      cursor.next = readLineAt(file, cursor.window, cursor.next, line);
      if (r == column.cellCount) std::vector<char>().swap(cursor.window.bytes);
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

}  // namespace

void writeTableBlock(TextView startLine, LineReader& page, LineWriter& out, TextView baseName,
                     int64_t& bodyLineNumber) {
  const Text caption(sliceText(trimBlanks(startLine), 14, -1));
  Text workFileName(baseName);
  workFileName.append("_table.txt");

  // The copy. The work file's lines are counted as they are written, so that the body
  // pass stays in step with the page reader even when the work file cannot be made.
  int64_t tableLineCount = 1;
  {
    // The block before it is replaced by a new file rather than emptied: some file
    // systems (ext4) wait for a just-written file's bytes to reach the disk when it is
    // emptied, which with thousands of tables took most of the run.
    std::error_code ignored;
    if (std::filesystem::is_regular_file(workFileName, ignored))
      std::filesystem::remove(workFileName, ignored);
    LineWriter work(workFileName);
    work.writeLine(startLine);
    while (!page.atEnd()) {
      const TextView line = page.readLine();
      work.writeLine(line);
      ++tableLineCount;
      if (beginsWith(line, "table_end:")) break;
    }
    work.close();
  }

  int64_t maxRows = 0;
  bool anyHeader = false;
  std::vector<BlockColumn> columns;
  {
    LineReader work(workFileName);
    maxRows = countRows(work);
    work.rewind();
    columns = findColumns(work, maxRows, anyHeader);
    work.close();
  }

  out.writeLine(kTableTag);
  if (!caption.empty()) {
    Text pageLine("<caption><b>");
    pageLine.append(caption);
    pageLine.append("</b></caption>");
    out.writeLine(pageLine);
  }
  if (anyHeader || maxRows > 0) {
    std::FILE* file = std::fopen(workFileName.c_str(), "rb");
    if (file != nullptr) std::setvbuf(file, nullptr, _IONBF, 0);  // the windows buffer
    Text line;
    Text pageLine;
    if (anyHeader) writeHeaderRow(file, columns, out, line, pageLine);
    writeRows(file, columns, maxRows, out, line, pageLine);
    if (file != nullptr) std::fclose(file);
  }
  out.writeLine(" </table>");

  // The start line was counted by the body pass already.
  bodyLineNumber += tableLineCount - 1;
}

}  // namespace doc
