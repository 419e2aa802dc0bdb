// A small text-search command for the Wine test, standing in for the system's find, which
// takes no switches under Wine. It does what the program's environment check and listing
// rely on:
//   find [/i] [/v] "string" [file...]
// prints the lines of each file (or of standard input) that contain the string (/v: that
// do not contain it; /i: in any letter case of A to Z). For each named file a heading comes
// first: an empty line, then ten hyphens, a blank and the name in capitals. Lines are read
// up to LF or CR LF and written with CR LF; other bytes pass unchanged. Exit status 0 when a
// line was printed, 1 when none was, 2 on a bad switch or a missing file.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Search {
  std::string pattern;
  bool ignoreCase = false;
  bool invert = false;
};

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool contains(std::string_view line, const Search& search) {
  if (!search.ignoreCase) return line.find(search.pattern) != std::string_view::npos;
  std::string lowered(line);
  for (char& c : lowered) c = lowerAscii(c);
  return lowered.find(search.pattern) != std::string::npos;
}

// Prints the matching lines of the stream; true when one was printed.
bool searchStream(std::FILE* in, const Search& search) {
  bool printed = false;
  std::string line;
  bool more = true;
  while (more) {
    line.clear();
    int c;
    while ((c = std::fgetc(in)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
    more = c != EOF;
    if (!more && line.empty()) break;
    if (!line.empty() && line.back() == '\r' && c == '\n') line.pop_back();
    if (contains(line, search) != search.invert) {
      std::fwrite(line.data(), 1, line.size(), stdout);
      std::fputs("\r\n", stdout);
      printed = true;
    }
  }
  return printed;
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  Search search;
  bool havePattern = false;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.size() == 2 && arg[0] == '/') {
      const char option = lowerAscii(arg[1]);
      if (option == 'i') {
        search.ignoreCase = true;
        continue;
      }
      if (option == 'v') {
        search.invert = true;
        continue;
      }
    }
    if (arg[0] == '/' && !havePattern) {
      std::fputs("FIND: Parameter format not correct\r\n", stderr);
      return 2;
    }
    if (!havePattern) {
      search.pattern = arg;
      havePattern = true;
    } else {
      files.push_back(arg);
    }
  }
  if (!havePattern) {
    std::fputs("FIND: Parameter format not correct\r\n", stderr);
    return 2;
  }
  if (search.ignoreCase)
    for (char& c : search.pattern) c = lowerAscii(c);

  if (files.empty()) return searchStream(stdin, search) ? 0 : 1;
  bool printed = false;
  bool missing = false;
  for (const std::string& name : files) {
    std::FILE* in = std::fopen(name.c_str(), "rb");
    if (in == nullptr) {
      std::fprintf(stderr, "File not found - %s\r\n", name.c_str());
      missing = true;
      continue;
    }
    std::string heading = "\r\n---------- ";
    for (const char c : name)
      heading.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c);
    heading += "\r\n";
    std::fputs(heading.c_str(), stdout);
    if (searchStream(in, search)) printed = true;
    std::fclose(in);
  }
  if (missing) return 2;
  return printed ? 0 : 1;
}
