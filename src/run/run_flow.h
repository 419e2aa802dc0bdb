// The run: the stages in their fixed order, the banner, the end screen and the two
// console waits through which every run ends with exit status 0.
#pragma once

#include "run/run_settings.h"

namespace doc {

// The program's home page, shown on the end screen and in every page it writes.
inline constexpr TextView homePageAddress = "https://example.org/chapter-tool/";

// The host part of homePageAddress ("example.org").
Text homePageHost();

// Shows "<1> = continue and end" once and ends the program when "1" is pressed.
[[noreturn]] void waitForOne();
// Shows "<...> any key for continue, end" and ends the program at any key.
[[noreturn]] void waitAnyKeyEnd();

// The whole run, from the code-page command to the end screen.
[[noreturn]] void runProgram();

}  // namespace doc
