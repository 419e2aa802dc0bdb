// Fast lookups in the chapter table that give the same row as a scan from row 1 would:
// a cursor for passes that read the document's lines in order, and a hash index from a
// number text to the first row holding it.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "chapters/chapter_table.h"

namespace doc {

// Rows are stored in document order with strictly increasing line numbers, so a pass over
// the lines finds each line's row by moving forward only.
struct HeadingCursor {
  int64_t next = 0;  // first row not yet passed
};

// The first row whose lineNumber equals lineNumber, or nullptr.
// REQUIRES: lineNumber is not below the one of the previous call with this cursor.
const ChapterRow* headingAtLine(const ChapterTable& table, HeadingCursor& cursor,
                                int64_t lineNumber);

// Maps a number text to the first row that holds it. The views point into the table,
// which must outlive the index and stay unchanged.
struct NumberIndex {
  std::unordered_map<TextView, int64_t> firstRow;
};

NumberIndex indexByWrittenNumber(const ChapterTable& table);
NumberIndex indexByNewNumber(const ChapterTable& table);

// The first row holding the number, or nullptr.
const ChapterRow* findFirstRow(const ChapterTable& table, const NumberIndex& index,
                               TextView number);

}  // namespace doc
