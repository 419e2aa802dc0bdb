// The chapter table: one row per accepted heading in document order, created once at the
// size the first pass counted. Columns 1 to 4 are plain fields; the up to 26 components
// of columns 5 to 30 are packed into one text, since no cell ever holds a blank.
#pragma once

#include <cstdint>
#include <vector>

#include "run/text.h"

namespace doc {

// Components a number may have (columns 5 to 30).
constexpr int kMaxComponents = 26;

struct ChapterRow {
  Text writtenNumber;       // column 1: the number word as written, ending in "." after renumbering
  int64_t lineNumber = 0;   // column 2: 1-based line of the heading in the input
  int64_t indentWidth = 0;  // column 3: blanks before the chapter's lines
  Text newNumber;           // column 4: the renumbered number, possibly empty
  Text packedComponents;    // columns 5..: the components joined by single blanks
  uint8_t componentCount = 0;  // how many of columns 5..30 the packed text spans
};

struct ChapterTable {
  std::vector<ChapterRow> rows;  // R rows; rows[0 .. chapterCount) are in use
  int64_t chapterCount = 0;      // n
};

}  // namespace doc
