#include "run/file_seek.h"

namespace doc {

bool seekFile(std::FILE* file, int64_t offset) {
  return _fseeki64(file, offset, SEEK_SET) == 0;
}

}  // namespace doc
