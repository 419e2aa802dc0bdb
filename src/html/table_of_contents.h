// The page's linked table of contents, one entry per heading line of the indented file.
#pragma once

#include "chapters/chapter_table.h"
#include "run/line_file.h"

namespace doc {

// Reads the indented file from its first line to its end and writes the contents lines.
void writeTableOfContents(LineReader& page, LineWriter& out, const ChapterTable& table);

}  // namespace doc
