// The indented document: one output line per input line, indented by chapter depth, with
// the new heading numbers and rewritten references.
#pragma once

#include "chapters/chapter_table.h"
#include "run/run_settings.h"

namespace doc {

// Writes <base>_indent.txt and begins the console list of output files.
void writeIndentedText(const RunSettings& settings, const ChapterTable& table);

}  // namespace doc
