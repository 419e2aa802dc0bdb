// Fast lookups in the chapter table that give the same row as a scan from row 1 would:
// a cursor for passes that read the document's lines in order, and a hash index from a
// number text to the first row holding it.
#pragma once

#include <cstdint>
#include <vector>

#include "chapters/chapter_table.h"

namespace doc {

// Rows are stored in document order with strictly increasing line numbers, so a pass over
// the lines finds each line's row by moving forward only.
struct HeadingCursor {
  int64_t next = 0;  // first row not yet passed
};

// The first row whose lineNumber equals lineNumber, or nullptr. Every pass asks this once
// a line, and for most lines the next row's line number alone answers it, so it is inline.
// REQUIRES: lineNumber is not below the one of the previous call with this cursor.
inline const ChapterRow* headingAtLine(const ChapterTable& table, HeadingCursor& cursor,
                                       int64_t lineNumber) {
  const int64_t n = table.chapterCount;
  while (cursor.next < n && table.rows[static_cast<size_t>(cursor.next)].lineNumber < lineNumber)
    ++cursor.next;
  if (cursor.next < n && table.rows[static_cast<size_t>(cursor.next)].lineNumber == lineNumber)
    return &table.rows[static_cast<size_t>(cursor.next)];
  return nullptr;
}

// One place of the index: a row (plus one; 0 for a free place) and the hash of its number.
struct NumberSlot {
  uint64_t hash = 0;
  uint64_t rowPlusOne = 0;
};

// Maps a number text to the first row that holds it, by open addressing: the places are
// one flat array probed in turn, and the stored hash spares looking at a row's text unless
// it is very likely the one. The table must outlive the index and stay unchanged.
struct NumberIndex {
  const Text ChapterRow::*column = nullptr;  // the column the numbers come from
  std::vector<NumberSlot> slots;             // a power of two of them, at most half in use
  int shift = 64;                            // 64 minus the bits of a place number
};

NumberIndex indexByWrittenNumber(const ChapterTable& table);
NumberIndex indexByNewNumber(const ChapterTable& table);

// The first row holding the number, or nullptr.
const ChapterRow* findFirstRow(const ChapterTable& table, const NumberIndex& index,
                               TextView number);

}  // namespace doc
