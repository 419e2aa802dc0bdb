// Line-level tests and rewrites of the page body: the link made of the first web or file
// address in a line, and the test for lines that reach the page unescaped as bold markup.
#pragma once

#include <cstdint>

#include "run/text.h"

namespace doc {

// The line with the address that begins at `position` written as a link:
// before + <a href="address">address</a> + rest. The address runs to the first blank
// after it, and rest begins with that blank; an address that ends the line is followed
// by one blank. Letter case and escaped text of the address stay as they are.
// REQUIRES: 1 <= position <= length of line (the place of a marker found in it).
Text linkFirstAddress(TextView line, int64_t position);
// The same into a buffer the caller reuses from line to line.
// REQUIRES: as above, and out does not hold the bytes that line views.
void linkFirstAddressInto(TextView line, int64_t position, Text& out);

// The 0-based place of the first "http" in the line in any letter case, or, when the line
// has none, of the first "file:///"; TextView::npos when it has neither. Web link before
// file link: a line with both is linked at its first "http".
size_t findAddressMarker(TextView line);

// True for a line that, lower-cased and trimmed of blanks, begins with "<b>" and whose
// first "</b>" ends at its last byte; "<b>" alone passes too, having no "</b>" at all.
bool isBoldPassThrough(TextView line);

}  // namespace doc
