// The start-up checks of the command interpreter and find command, and the dialogue that
// chooses the document, the indentation step and the table of contents.
#pragma once

#include "run/run_settings.h"

namespace doc {

// Ends the run in waitForOne when the command interpreter or find does not work.
void checkEnvironment();
// Fills inputFileName, baseName, indentIncrement and tocWanted, and copies the document
// to "sour_in.txt"; ends the run in waitAnyKeyEnd when the line number is out of range.
void selectInput(RunSettings& settings);

}  // namespace doc
