// Table blocks of the page: the marker lines from "table_start:" to "table_end:" become one
// HTML table. The block is copied to the work file <base>_table.txt, which is scanned to
// size the table and to find its columns; the cells stay in the work file and are read
// back row by row while the table is written, so memory follows the columns, not the cells.
#pragma once

#include <cstdint>

#include "run/line_file.h"
#include "run/text.h"

namespace doc {

// Writes the table of the block that startLine opens (the escaped line, which the body
// pass has counted): reads the block's other lines from page up to and including the first
// "table_end:" line, or to the end of page when there is none, and adds to bodyLineNumber
// the lines it read. A block without an end line shows only the rows its other columns
// reach; the last column's surplus cells are left out.
void writeTableBlock(TextView startLine, LineReader& page, LineWriter& out, TextView baseName,
                     int64_t& bodyLineNumber);

}  // namespace doc
