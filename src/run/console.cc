#include "run/console.h"

#include <limits>

#include "run/console_io.h"

namespace doc {

namespace {

// Output waits here until the dialogue needs it on the screen; a large run of output
// (a long chapter list) goes out in pieces of this size.
constexpr size_t kOutputChunk = size_t{64} * 1024;

struct ConsoleState {
  Text pending;          // written but not yet handed to the platform
  int64_t column = 0;    // bytes since the last CR or LF
  Text* sink = nullptr;  // tests collect the output here
};

ConsoleState& state() {
  static ConsoleState console;
  return console;
}

void emit(TextView bytes) {
  ConsoleState& console = state();
  if (console.sink != nullptr) {
    console.sink->append(bytes);
    return;
  }
  console.pending.append(bytes);
  if (console.pending.size() >= kOutputChunk) flushConsole();
}

void followColumn(TextView bytes) {
  size_t afterEnd = bytes.size();  // bytes after the last CR or LF
  while (afterEnd > 0 && bytes[afterEnd - 1] != '\r' && bytes[afterEnd - 1] != '\n') --afterEnd;
  if (afterEnd == 0)
    state().column += static_cast<int64_t>(bytes.size());
  else
    state().column = static_cast<int64_t>(bytes.size() - afterEnd);
}

bool isBlankOrTab(char c) { return c == ' ' || c == '\t'; }

TextView skipBlanksAndTabs(TextView line) {
  size_t i = 0;
  while (i < line.size() && isBlankOrTab(line[i])) ++i;
  return line.substr(i);
}

// Optional sign and decimal digits up to the first other byte; outside 32 bits the value
// is the same as toInteger gives for a real out of range.
int32_t decimalItem(TextView item) {
  constexpr int32_t outside = std::numeric_limits<int32_t>::min();
  size_t i = 0;
  bool negative = false;
  if (i < item.size() && (item[i] == '+' || item[i] == '-')) negative = item[i++] == '-';
  int64_t value = 0;
  for (; i < item.size() && item[i] >= '0' && item[i] <= '9'; ++i) {
    value = value * 10 + (item[i] - '0');
    if (value > 2147483648LL) return outside;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) return outside;
  return static_cast<int32_t>(value);
}

// "&HFFFFFFFF" is -1 as a 32-bit value; digits beyond 32 bits give the out-of-range value.
int32_t radixItem(TextView item) {
  const RadixValue radix = parseRadixForm(item);
  if (radix.overflow || radix.value > std::numeric_limits<uint32_t>::max())
    return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(static_cast<uint32_t>(radix.value));
}

// Shows the prompt, reads the answer line and ends the console line.
Text promptForLine(TextView prompt) {
  printText(prompt);
  printText("? ");
  flushConsole();
  Text line;
  bool endShown = false;
  consoleReadLine(line, endShown);
  if (endShown)
    state().column = 0;
  else
    printLine();
  return line;
}

}  // namespace

void printText(TextView text) {
  emit(text);
  followColumn(text);
}

void printLine(TextView text) {
  printText(text);
  printText("\r\n");
}

void printZoned(TextView text) {
  printText(text);
  printText(blanks(14 - state().column % 14));
}

void printNumber(int64_t n) {
  if (n >= 0) printText(" ");
  printText(intToText(n));
}

void printUncounted(TextView text) { emit(text); }

int64_t consoleColumn() { return state().column; }

int32_t integerItem(TextView line) {
  TextView item = skipBlanksAndTabs(line);
  item = item.substr(0, item.find_first_of(" \t,"));
  const size_t real = item.find_first_of(".eEdD");
  if (real != TextView::npos && real < item.find('&')) return toInteger(parseNumber(item));
  if (item.size() >= 2 && item[0] == '&') return radixItem(item);
  return decimalItem(item);
}

Text textItem(TextView line) {
  TextView item = skipBlanksAndTabs(line);
  if (!item.empty() && item[0] == '"') {
    item.remove_prefix(1);
    item = item.substr(0, item.find('"'));
  } else {
    item = item.substr(0, item.find(','));
  }
  return Text(item.substr(0, kMaxTextItem));
}

int32_t readInteger(TextView prompt) { return integerItem(promptForLine(prompt)); }

Text readText(TextView prompt) { return textItem(promptForLine(prompt)); }

Text pollKey() {
  flushConsole();
  return consolePollKey();
}

bool waitForKeyInput() {
  flushConsole();
  return consoleWaitForKey();
}

void flushConsole() {
  ConsoleState& console = state();
  if (console.pending.empty()) return;
  consoleWrite(console.pending);
  console.pending.clear();
}

void setConsoleSink(Text* sink) {
  flushConsole();
  state().sink = sink;
}

}  // namespace doc
