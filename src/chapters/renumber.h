// Renumbering the headings into a consistent sequence.
#pragma once

#include "chapters/chapter_table.h"

namespace doc {

// Rewrites the components so that each heading moves at most one level from the one
// before, and normalises the written numbers.
void renumberChapters(ChapterTable& table);

}  // namespace doc
