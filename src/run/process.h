// Process services: the command interpreter, the path the program was started by, and
// the one way out of the program.
#pragma once

#include "run/text.h"

namespace doc {

// Hands the command line to the command interpreter and waits until it has finished.
// What the command shows and does not redirect appears on the console.
void runCommand(TextView commandLine);

// The first word of the command line as the process received it.
Text invocationPath();
// The entry records it once, before anything asks for it.
void setInvocationPath(TextView path);

// Writes out every file still open and the console, restores the console and ends the
// process with the status.
[[noreturn]] void endProgram(int status);

}  // namespace doc
