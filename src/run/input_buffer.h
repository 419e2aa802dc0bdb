// Bytes read from standard input and not used yet, which the prompts take as lines and the
// waits as single key presses. Splitting them is the same on every platform; reading more
// is each platform's own.
#pragma once

#include "run/text.h"

namespace doc {

enum class LineTaken {
  none,     // input has ended and nothing was left
  unended,  // the last bytes of the input, without a line end
  ended,    // a line that a LF (or CR LF) ended
};

// Takes the first line of `input` into `line`, without its line end. While no LF is
// there it calls readMore, which appends to `input` and returns false when nothing more
// can come.
LineTaken takeLine(Text& input, Text& line, bool (*readMore)());

// The first byte of `input` as a key press; "" when `input` is empty.
Text takeByte(Text& input);

}  // namespace doc
