// Fuzz target: the built-in command interpreter on arbitrary command lines, in a private
// folder holding a few files. A "/" may only begin a switch ("/b", "/q") and ".." may not
// occur, so that a copy or a redirect can only ever name files of that folder.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "fuzz_folder.h"
#include "run/command_layer.h"
#include "run/text.h"

namespace {

// The folder as the program finds it at the start of a run.
void resetFolder() {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(".", ignored))
    std::filesystem::remove_all(entry.path(), ignored);
  std::ofstream("notes.txt") << "1. One\r\nlook_at: 1.\r\n";
  std::ofstream("Report.TXT") << "text\n";
  std::ofstream("a b.txt") << "";
  std::filesystem::create_directory("folder.txt", ignored);
}

// A word that may be followed by a switch.
bool takesSwitches(doc::TextView word) {
  doc::Text lowered = doc::toLowerAscii(word);
  return lowered == "cmd" || lowered == "dir" || lowered == "del" || lowered == "find" ||
         (lowered.size() == 2 && lowered[0] == '/');
}

// "/" only as a one-letter switch right after a command that takes switches, so that no
// word can name a file outside the folder ("copy a /c" would write "/c").
bool staysInFolder(doc::TextView line) {
  if (line.find("..") != doc::TextView::npos) return false;
  for (size_t i = line.find('/'); i != doc::TextView::npos; i = line.find('/', i + 1)) {
    const bool wordStart = i == 0 || line[i - 1] == ' ';
    const bool oneLetter = i + 2 == line.size() || (i + 2 < line.size() && line[i + 2] == ' ');
    if (!wordStart || !oneLetter || i < 2) return false;
    const size_t wordEnd = i - 1;  // the blank before the switch
    size_t wordBegin = line.rfind(' ', wordEnd - 1);
    wordBegin = wordBegin == doc::TextView::npos ? 0 : wordBegin + 1;
    if (!takesSwitches(line.substr(wordBegin, wordEnd - wordBegin))) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const doc::TextView line(reinterpret_cast<const char*>(data), size);
  if (!staysInFolder(line)) return 0;
  doc::enterFuzzFolder();
  resetFolder();
  doc::Text shown;
  doc::interpretCommandLine(line, shown);
  // Whatever the line, nothing outside the folder changed: the folder itself is still here.
  if (!std::filesystem::exists(doc::fuzzFolder())) std::abort();
  return 0;
}
