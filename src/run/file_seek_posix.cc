#include <sys/types.h>

#include "run/file_seek.h"

namespace doc {

bool seekFile(std::FILE* file, int64_t offset) {
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

}  // namespace doc
