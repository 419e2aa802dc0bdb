// Chapter levels, new numbers and indentation, the console list and the chapter list file.
#pragma once

#include "chapters/chapter_table.h"
#include "run/run_settings.h"

namespace doc {

// Fills newNumber and indentWidth of every row, prints the old and new numbers and
// writes <base>_chapters.txt.
void listChapters(const RunSettings& settings, ChapterTable& table);

}  // namespace doc
