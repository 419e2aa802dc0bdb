// The run: the stages in their fixed order, the banner and the end screen.
#pragma once

#include "run/text.h"

namespace doc {

// The program's home page, shown on the end screen and in every page it writes.
inline constexpr TextView homePageAddress = "https://example.org/chapter-tool/";

// homePageAddress without its scheme ("example.org/chapter-tool/").
TextView homePageWithoutScheme();
// The host part of homePageAddress ("example.org").
TextView homePageHost();

// The whole run, from the code-page command to the end screen; ends inside a wait.
[[noreturn]] void runProgram();

}  // namespace doc
