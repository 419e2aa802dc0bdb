// The two console waits through which every run ends with exit status 0.
#pragma once

namespace doc {

// Shows "<1> = continue and end" once and ends the program when "1" is pressed.
[[noreturn]] void waitForOne();
// Shows "<...> any key for continue, end" and ends the program at any key.
[[noreturn]] void waitAnyKeyEnd();

}  // namespace doc
