// Process services on a POSIX machine. There is no system command interpreter of the kind
// the program talks to, so command lines go to the built-in one, which starts no process.
#include "run/command_layer.h"
#include "run/console.h"
#include "run/process.h"

namespace doc {

namespace {

Text& startPath() {
  static Text path;
  return path;
}

}  // namespace

void runCommand(TextView commandLine) {
  flushConsole();
  Text shown;
  interpretCommandLine(commandLine, shown);
  printUncounted(shown);
}

Text invocationPath() { return startPath(); }

void setInvocationPath(TextView path) { startPath() = Text(path); }

}  // namespace doc
