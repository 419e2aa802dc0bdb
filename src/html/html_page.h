// The HTML page made from the indented document: frame, table of contents and body.
#pragma once

#include "chapters/chapter_table.h"
#include "run/run_settings.h"

namespace doc {

// Writes <base>_indent.htm.
void writeHtmlPage(const RunSettings& settings, const ChapterTable& table);

}  // namespace doc
