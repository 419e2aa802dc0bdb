// The page's body: each line of the indented file through the line rules, in their order.
#pragma once

#include "chapters/chapter_table.h"
#include "run/line_file.h"

namespace doc {

// Reads the indented file from its current line to its end and writes the page lines;
// table blocks go to the table writer, whose work file is named after baseName.
void writeBodyLines(LineReader& page, LineWriter& out, const ChapterTable& table,
                    TextView baseName);

}  // namespace doc
