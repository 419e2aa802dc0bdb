// The built-in command interpreter: carries out the command lines the program gives the
// system's interpreter, on machines that have none. It never starts a process.
#pragma once

#include "run/text.h"

namespace doc {

// Carries out one command line in the current folder, as the system's command
// interpreter would for the forms the program uses; what it shows and does not redirect
// is appended to `shown` (lines end in CR LF).
void interpretCommandLine(TextView commandLine, Text& shown);

}  // namespace doc
