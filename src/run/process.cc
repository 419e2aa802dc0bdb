// The one way out of the program, the same on every platform.
#include "run/process.h"

#include <cstdlib>

#include "run/console.h"
#include "run/console_io.h"
#include "run/line_file.h"

namespace doc {

void endProgram(int status) {
  LineWriter::closeAll();
  flushConsole();
  consoleRestore();
  std::exit(status);
}

}  // namespace doc
