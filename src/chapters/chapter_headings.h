// Recognising chapter headings and filling the chapter table from the document.
#pragma once

#include <optional>

#include "chapters/chapter_table.h"
#include "run/run_settings.h"

namespace doc {

// The number word of a heading line ("2.1." of "2.1. Scope"), or none when the line is
// not a chapter heading.
std::optional<TextView> isChapterHeading(TextView line);

// Counts the headings of the document; ends the run in waitAnyKeyEnd when there are none.
int64_t countChapterHeadings(const RunSettings& settings);
// Stores each heading's number word and line number, in document order.
// REQUIRES: table.rows has the size countChapterHeadings returned.
void collectChapterHeadings(const RunSettings& settings, ChapterTable& table);
// Splits every written number at its dots into components.
void splitNumber(ChapterTable& table);

}  // namespace doc
