#include "run/waits.h"

#include "run/console.h"
#include "run/process.h"

namespace doc {

namespace {

// Shows the line once, then takes key presses until `ends` accepts one. Between polls
// the wait blocks until a key may be there; once input has ended no key can come, and
// the wait ends as a key press would.
template <typename Ends>
[[noreturn]] void waitFor(TextView line, Ends ends) {
  printLine(line);
  for (;;) {
    const Text key = pollKey();
    if (!key.empty()) {
      if (ends(key)) endProgram(0);
      continue;
    }
    if (!waitForKeyInput()) endProgram(0);
  }
}

}  // namespace

void waitForOne() {
  waitFor("<1> = continue and end", [](const Text& key) { return key == "1"; });
}

void waitAnyKeyEnd() {
  waitFor("<...> any key for continue, end", [](const Text&) { return true; });
}

}  // namespace doc
