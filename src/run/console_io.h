// The platform side of the console: raw output bytes, one typed line, and key presses.
// One file per platform implements it; console.cc builds the dialogue rules on top.
#pragma once

#include "run/text.h"

namespace doc {

// Writes bytes to the console's output as they are.
void consoleWrite(TextView bytes);
// Reads one typed line without its line end, with the platform's own line editing.
// False when input has ended and nothing was typed. `endShown` tells whether the console
// itself already moved to a new line when Enter was pressed (a terminal echoes it).
bool consoleReadLine(Text& line, bool& endShown);
// One pending key press as pollKey describes it, or "" at once.
Text consolePollKey();
// Blocks until a key may be pending; false when input has ended for good.
bool consoleWaitForKey();
// Puts the console back as the program found it; safe to call more than once.
void consoleRestore();

}  // namespace doc
