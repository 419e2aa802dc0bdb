// The settings of one run: filled by the start-up dialogue, read-only afterwards.
#pragma once

#include <cstdint>

#include "run/text.h"

namespace doc {

struct RunSettings {
  Text siteLink;            // web link made from the program's own file name
  Text programFileName;     // the name the program is to bear: site part + ".exe"
  Text inputFileName;       // the chosen document, a name in the current folder
  Text baseName;            // inputFileName up to its first ".txt" in any letter case
  int32_t indentIncrement = 2;  // blanks per chapter level, at least 1
  bool tocWanted = false;   // whether the page gets a table of contents
};

// The name up to, not including, its first ".txt" in any letter case; the whole name
// when it has none.
Text baseNameOf(TextView inputFileName);

}  // namespace doc
