// Moving to a 64-bit offset in an open file: the one call whose name differs between the
// platforms' C libraries.
#pragma once

#include <cstdint>
#include <cstdio>

namespace doc {

// Moves the file's position to `offset` bytes from its start; false when that fails.
bool seekFile(std::FILE* file, int64_t offset);

}  // namespace doc
