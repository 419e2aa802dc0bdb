// The components of a chapter number (columns 5 to 30 of the chapter table) as the row
// keeps them: one text with a single blank between two components, so that an empty
// component is an empty stretch between blanks. Also the raising of a component by one.
#pragma once

#include <cstdint>

#include "chapters/chapter_table.h"

namespace doc {

// Component k of the row (1 is column 5); "" for an empty one and for k past the ones the
// row holds. The view points into the row.
TextView componentAt(const ChapterRow& row, int k);

// How many of the row's components are not empty, over all of them (gaps do not stop it).
int filledComponentCount(const ChapterRow& row);

// The leading components: from the first up to, not including, the first empty one, as a
// stretch of the packed text (blanks between them); `count` gets how many there are.
TextView leadingComponents(const ChapterRow& row, int& count);

// Makes the row hold exactly the given packed components, `count` of them.
// REQUIRES: 0 <= count <= kMaxComponents and `packed` holds count - 1 blanks (none when
// count is 0 or 1); `packed` does not point into the row.
void setComponents(ChapterRow& row, TextView packed, int count);

// Replaces component 1, keeping the others; a row without components gets this one.
void setFirstComponent(ChapterRow& row, TextView first);

// The component's real value raised by one and written back as text ("" gives "1", "009"
// gives "10", "12345678901234567" gives "1.234567890123457e+016"). Digits beyond the range
// of a real are raised as digits ("99...9" of 400 digits gives "1" and 400 zeros).
Text incrementText(TextView component);

}  // namespace doc
