// The program's identity: the built-in name, and the site link taken from the name the
// program was started by.
#pragma once

#include "run/run_settings.h"

namespace doc {

// The name the build gives the program; it holds no site marker.
inline constexpr TextView builtInName = "margolan_free_01_032.exe";

// Prints the built-in name, an empty line and the invocation path; fills siteLink and
// programFileName and returns the display name for the banner, or shows the rename
// instructions and ends the run in waitForOne.
Text identifyProgram(RunSettings& settings);

// What the site markers of a path give; found is false when the path holds none of them.
struct SiteIdentity {
  bool found = false;
  Text siteLink;
  Text programFileName;
};

// The path lowered, its last four bytes cut whatever they are; the first marker of the
// table that occurs decides, and its last occurrence starts the site name.
SiteIdentity siteFromPath(TextView path);

}  // namespace doc
