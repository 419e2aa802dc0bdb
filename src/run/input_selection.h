// The start-up checks of the command interpreter and find command, and the dialogue that
// chooses the document, the indentation step and the table of contents.
#pragma once

#include <cstdint>

#include "run/run_settings.h"

namespace doc {

// Ends the run in waitForOne when the command interpreter or find does not work.
void checkEnvironment();
// Fills inputFileName, baseName, indentIncrement and tocWanted, and copies the document
// to "sour_in.txt"; ends the run in waitAnyKeyEnd when the line number is out of range.
void selectInput(RunSettings& settings);

// The step taken when the answer is 0 or below (Enter alone, a word, a number too large
// for 32 bits).
inline constexpr int32_t kDefaultIndentIncrement = 2;
// Larger steps are taken as this one. A chapter has at most 26 levels, so the widest
// indentation stays at 26000 blanks: already far wider than any console or page, and its
// product with the level stays well inside 32 bits wherever the stages compute it.
inline constexpr int32_t kMaxIndentIncrement = 1000;

// The indentation step for the number typed at the increment prompt.
int32_t indentIncrementFrom(int32_t entered);

// Whether the line number typed at the file prompt names one of the listed files.
bool isListedLineNumber(int32_t selected, int64_t listedFileCount);

// The number of lines that hold a byte other than a blank; 0 for a file that cannot be
// read (missing, a folder, no permission).
int64_t countFilledLines(const Text& fileName);

// Whether the name can stand unquoted in a command line and mean nothing but a file of
// the current folder: no control byte and none of the bytes that the command interpreter
// takes for redirection, chaining, escapes, variables, quoting or wildcards, nor
// a folder or drive separator. A blank is allowed: the command then sees two words and
// fails without harm.
bool isPlainCommandWord(TextView name);

// The command line that copies the chosen document to "sour_in.txt", the name inserted
// unchanged and unquoted; "" when the name is not a plain command word or is a folder.
Text copyCommandLine(const Text& inputFileName);

}  // namespace doc
