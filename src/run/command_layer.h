// The built-in command interpreter of the POSIX platform layer: it carries out the command
// lines the program gives (chcp, cmd /c, dir, del, find, copy, pipes, one redirection)
// inside the process, with the output the program's checks and listings rely on.
#pragma once

#include "run/text.h"

namespace doc {

// Carries out one command line in the current folder, as the system's command interpreter
// would for the forms the program uses; what it shows and does not redirect is appended to
// `shown` (lines end in CR LF). Never starts a shell or any other process.
void interpretCommandLine(TextView commandLine, Text& shown);

}  // namespace doc
