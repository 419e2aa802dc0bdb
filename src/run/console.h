// The console: byte output that keeps the output column, print zones, the two line
// prompts with their item rules, and key polling for the waits. Output is buffered and
// written out before a command runs, before input is read and when the program ends, so
// the dialogue appears in order. Every console line ends with CR LF.
#pragma once

#include <cstdint>

#include "run/text.h"

namespace doc {

void printText(TextView text);
// The text followed by CR LF.
void printLine(TextView text = {});
// The text, then 1 to 14 blanks up to the next multiple of 14 of the output column.
void printZoned(TextView text);
// " 7" for 7 and over, "-3" below 0.
void printNumber(int64_t n);
// Bytes that do not move the output column: what a command shows while it runs.
void printUncounted(TextView text);

// Bytes written since the last CR or LF by the operations above (not printUncounted).
int64_t consoleColumn();

// Shows the prompt and "? ", reads one line, ends it with CR LF and returns the value of
// its first item.
int32_t readInteger(TextView prompt);
Text readText(TextView prompt);

// The oldest pending key press: one byte for a key with a character, two bytes (the first
// 255) for one without; "" when none is pending. Returns at once.
Text pollKey();
// Blocks until a key may be pending. False when no key can ever come (input has ended).
bool waitForKeyInput();

// Writes the buffered output out.
void flushConsole();

// The item rules of readInteger and readText applied to a typed line.
int32_t integerItem(TextView line);
Text textItem(TextView line);

// Tests: while a sink is set, console output is appended to it instead of being written
// out, and the output column still follows it. nullptr returns to the console.
void setConsoleSink(Text* sink);

// Longest item that readText returns.
constexpr size_t kMaxTextItem = 4096;

}  // namespace doc
