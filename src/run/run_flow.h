// The run: the stages in their fixed order, the banner and the end screen.
#pragma once

#include "run/text.h"

namespace doc {

// The whole run, from the code-page command to the end screen; ends inside a wait.
[[noreturn]] void runProgram();

}  // namespace doc
