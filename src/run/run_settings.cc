// The base name rule shared by every stage that forms a result file name.
#include "run/run_settings.h"

namespace doc {

Text baseNameOf(TextView inputFileName) {
  // No ".txt" gives position 0 and so the length -1, which stands for the whole name.
  const int64_t txt = findFrom(toLowerAscii(inputFileName), ".txt", 1);
  return Text(sliceText(inputFileName, 1, txt - 1));
}

}  // namespace doc
