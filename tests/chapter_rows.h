// Small chapter tables for tests: rows with the columns a test needs, a table of them all
// in use, and lines joined with the CR LF every output line ends with.
#pragma once

#include <utility>
#include <vector>

#include "chapters/chapter_table.h"

namespace doc {

// A heading row as the page passes read it.
inline ChapterRow row(int64_t lineNumber, Text newNumber) {
  ChapterRow r;
  r.lineNumber = lineNumber;
  r.newNumber = std::move(newNumber);
  return r;
}

// A heading row as the indented text writer reads it.
inline ChapterRow row(Text writtenNumber, int64_t lineNumber, int64_t indentWidth,
                      Text newNumber) {
  ChapterRow r = row(lineNumber, std::move(newNumber));
  r.writtenNumber = std::move(writtenNumber);
  r.indentWidth = indentWidth;
  return r;
}

inline ChapterTable tableOf(std::vector<ChapterRow> rows) {
  ChapterTable table;
  table.chapterCount = static_cast<int64_t>(rows.size());
  table.rows = std::move(rows);
  return table;
}

inline Text crlf(const std::vector<Text>& lines) {
  Text joined;
  for (const Text& line : lines) joined += line + "\r\n";
  return joined;
}

}  // namespace doc
