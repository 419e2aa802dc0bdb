// A private temporary folder that a fuzz target runs every input in: created and entered
// at the first input, removed when the process ends.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace doc {

inline std::string& fuzzFolder() {
  static std::string path;
  return path;
}

inline void removeFuzzFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(fuzzFolder(), ignored);
}

inline void enterFuzzFolder() {
  if (!fuzzFolder().empty()) return;
  std::string pattern = (std::filesystem::temp_directory_path() / "doc_fuzz_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  fuzzFolder() = pattern;
  std::filesystem::current_path(pattern);
  std::atexit(removeFuzzFolder);
}

}  // namespace doc
