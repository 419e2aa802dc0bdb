// The program's home page: an address of the program's own, shown on the end screen and
// carried by every page it writes.
#pragma once

#include "run/text.h"

namespace doc {

inline constexpr TextView homePageAddress = "https://example.org/chapter-tool/";

// homePageAddress without its scheme ("example.org/chapter-tool/").
TextView homePageWithoutScheme();
// The host part of homePageAddress ("example.org").
TextView homePageHost();

}  // namespace doc
