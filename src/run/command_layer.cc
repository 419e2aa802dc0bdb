// The built-in command interpreter. It knows the commands the program gives and carries
// them out with the standard library's file system services; nothing here starts a shell
// or a process, so no byte of a command line can run anything else.
//
// Reading a line: words are split at blanks; a double quote starts or ends a quoted part
// in which blanks, "|" and ">" are ordinary bytes (the quotes themselves are dropped).
// Outside quotes "|" separates two commands and "> FILE" (or ">> FILE" to append) sends
// the last command's output to FILE. Every other byte is part of a word: "&" and "&&" do
// not chain commands, and "^", "%", ";", "$(" and backquotes mean nothing, so a file name
// holding them is just a name. Refused as a syntax error, before anything runs or any
// file is touched: "<", a second redirection, a redirection of any command but the last,
// a redirection without a target and an empty command in a pipe. A file name holding ">"
// thus can never empty another file, since the copy line already ends in a redirection.
//
// Order: all command words are looked up first; if one is unknown, its message is shown
// and nothing runs and no file is created (the real interpreter would create the target
// first; nothing depends on that empty file, and refusing the line whole is simpler to
// reason about). Then the redirection target is created or emptied, so that a listing of
// the folder shows it, and then the commands run from left to right, each one's output
// held in memory as the next one's input. Error messages are never redirected: they are
// appended to `shown`, as the interpreter writes them to its error stream.
#include "run/command_layer.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "run/line_file.h"

namespace doc {

namespace {

namespace fs = std::filesystem;

constexpr TextView kSyntaxError = "The syntax of the command is incorrect.";
constexpr TextView kNoCopy = "        0 file(s) copied.";
constexpr TextView kOneCopy = "        1 file(s) copied.";
// "cmd /c cmd /c ..." nests; a line cannot make the interpreter recurse without bound.
constexpr int kMaxNesting = 32;

struct Word {
  Text text;     // quotes removed
  TextView raw;  // as written in the line, quotes included
};

using Words = std::vector<Word>;

struct Pipeline {
  std::vector<Words> commands;
  Text target;  // where the last command's output goes; "" for the caller's output
  bool append = false;
  bool valid = true;
};

// A command's standard output: an open file, or a text (the caller's, or a pipe's).
struct Output {
  std::FILE* file = nullptr;
  Text* text = nullptr;
};

struct Streams {
  const Text* input;  // what is piped in; nullptr when nothing is
  Output out;
  Text* shown;  // error messages, never redirected
  int nesting;
};

void put(const Output& out, TextView bytes) {
  if (out.file != nullptr) {
    std::fwrite(bytes.data(), 1, bytes.size(), out.file);
  } else {
    out.text->append(bytes);
  }
}

void putLine(const Output& out, TextView line) {
  put(out, line);
  put(out, "\r\n");
}

void showLine(Text& shown, TextView line) {
  shown.append(line);
  shown.append("\r\n");
}

char upperByte(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

Text toUpperAscii(TextView text) {
  Text out(text);
  for (char& c : out) c = upperByte(c);
  return out;
}

bool isSwitch(const Word& word) { return !word.raw.empty() && word.raw[0] == '/'; }

bool isSpecial(char c) { return c == ' ' || c == '|' || c == '>' || c == '<'; }

// Reads one word from `at`, which holds neither a blank nor "|", ">" or "<".
Word readWord(TextView line, size_t& at) {
  Word word;
  const size_t start = at;
  bool quoted = false;
  while (at < line.size()) {
    const char c = line[at];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && isSpecial(c)) {
      break;
    } else {
      word.text.push_back(c);
    }
    ++at;
  }
  word.raw = line.substr(start, at - start);
  return word;
}

Pipeline parseLine(TextView line) {
  Pipeline pipeline;
  pipeline.commands.emplace_back();
  bool redirected = false;
  size_t at = 0;
  while (at < line.size()) {
    const char c = line[at];
    if (c == ' ') {
      ++at;
    } else if (c == '|') {
      if (pipeline.commands.back().empty() || redirected) pipeline.valid = false;
      pipeline.commands.emplace_back();
      ++at;
    } else if (c == '>') {
      if (redirected) pipeline.valid = false;
      redirected = true;
      ++at;
      if (at < line.size() && line[at] == '>') {
        pipeline.append = true;
        ++at;
      }
      while (at < line.size() && line[at] == ' ') ++at;
      if (at == line.size() || isSpecial(line[at])) {
        pipeline.valid = false;
        continue;
      }
      pipeline.target = readWord(line, at).text;
      if (pipeline.target.empty()) pipeline.valid = false;
    } else if (c == '<') {
      pipeline.valid = false;
      ++at;
    } else {
      pipeline.commands.back().push_back(readWord(line, at));
    }
  }
  const bool blankLine = pipeline.commands.size() == 1 && !redirected;
  if (pipeline.commands.back().empty() && !blankLine) pipeline.valid = false;
  return pipeline;
}

// The lines of a piped text, split as a line file is read.
TextView nextLine(TextView text, size_t& at) {
  const size_t lf = text.find('\n', at);
  const size_t end = lf == TextView::npos ? text.size() : lf;
  TextView line = text.substr(at, end - at);
  at = lf == TextView::npos ? text.size() : lf + 1;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// Wildcards "*" (any run of bytes) and "?" (one byte); letters compare without case.
bool matchesPattern(TextView name, TextView pattern) {
  size_t n = 0;
  size_t p = 0;
  size_t starAt = TextView::npos;  // the last "*" seen, to widen it on a mismatch
  size_t starName = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starAt = p++;
      starName = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || upperByte(pattern[p]) == upperByte(name[n]))) {
      ++p;
      ++n;
    } else if (starAt != TextView::npos) {
      p = starAt + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

struct Entry {
  Text name;
  bool folder = false;
  uintmax_t size = 0;
  fs::file_time_type time;
};

// The order of a folder on the interpreter's home file system: names compared with their
// letters in capitals (so "_" comes after the letters), byte values unsigned; names equal
// but for case, which that file system cannot hold, keep a fixed order by their bytes.
bool namesInOrder(const Entry& a, const Entry& b) {
  const size_t common = std::min(a.name.size(), b.name.size());
  for (size_t i = 0; i < common; ++i) {
    const auto x = static_cast<unsigned char>(upperByte(a.name[i]));
    const auto y = static_cast<unsigned char>(upperByte(b.name[i]));
    if (x != y) return x < y;
  }
  if (a.name.size() != b.name.size()) return a.name.size() < b.name.size();
  return a.name < b.name;  // char_traits<char> compares bytes as unsigned
}

fs::file_time_type modifiedTime(const fs::path& path) {
  std::error_code ec;
  const fs::file_time_type time = fs::last_write_time(path, ec);
  return ec ? fs::file_time_type::clock::now() : time;
}

// The entries of the current folder, sorted. A name holding a line end is left out: a
// listing has one name per line, and such a name would read as two other names.
std::vector<Entry> folderEntries() {
  std::vector<Entry> entries;
  std::error_code ec;
  for (fs::directory_iterator it(".", ec), end; !ec && it != end; it.increment(ec)) {
    Entry entry;
    entry.name = it->path().filename().string();
    if (entry.name.find_first_of("\r\n") != Text::npos) continue;
    std::error_code ignored;
    entry.folder = it->is_directory(ignored);
    if (!entry.folder && it->is_regular_file(ignored)) {
      const uintmax_t size = it->file_size(ignored);
      entry.size = ignored ? 0 : size;
    }
    entry.time = modifiedTime(it->path());
    entries.push_back(std::move(entry));
  }
  std::sort(entries.begin(), entries.end(), namesInOrder);
  return entries;
}

Text currentFolder() {
  std::error_code ec;
  return fs::current_path(ec).string();
}

// "05/01/2024  09:05 PM": month, day, year, then the hour on the 12-hour clock.
Text stampText(fs::file_time_type time) {
  const auto system = std::chrono::time_point_cast<std::chrono::system_clock::duration>(
      std::chrono::file_clock::to_sys(time));
  const std::time_t seconds = std::chrono::system_clock::to_time_t(system);
  const std::tm* local = std::localtime(&seconds);
  char buffer[32] = "01/01/1980  12:00 AM";
  if (local != nullptr) std::strftime(buffer, sizeof buffer, "%m/%d/%Y  %I:%M %p", local);
  return buffer;
}

// Decimal digits in groups of three, "1,234,567".
Text groupedNumber(uintmax_t value) {
  const Text digits = std::to_string(value);
  Text out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out.push_back(',');
    out.push_back(digits[i]);
  }
  return out;
}

Text padLeft(TextView text, size_t width) {
  Text out(text.size() < width ? width - text.size() : 0, ' ');
  out.append(text);
  return out;
}

// Date, time, "<DIR>" or the size right-aligned, then the name from column 40.
Text entryLine(fs::file_time_type time, bool folder, uintmax_t size, TextView name) {
  Text line = stampText(time);
  line.append(folder ? Text("    <DIR>          ") : padLeft(groupedNumber(size), 18) + " ");
  line.append(name);
  return line;
}

void runChcp(const Words& words, Streams& io) {
  if (words.size() > 2 || (words.size() == 2 && words[1].text != "65001")) {
    showLine(*io.shown, "Invalid code page");
    return;
  }
  putLine(io.out, "Active code page: 65001");
}

void runLine(TextView line, const Text* input, Output out, Text& shown, int nesting);

// "cmd /c LINE" carries out LINE; without /c (or /k) the second interpreter finds no
// input and ends at once.
void runCmd(const Words& words, Streams& io) {
  size_t k = 1;
  bool found = false;
  for (; k < words.size() && isSwitch(words[k]); ++k) {
    const Text option = toLowerAscii(words[k].text);
    if (option == "/c" || option == "/k") {
      found = true;
      ++k;
      break;
    }
  }
  if (!found) return;
  Text inner;
  for (; k < words.size(); ++k) {
    if (!inner.empty()) inner.push_back(' ');
    inner.append(words[k].raw);
  }
  // A line given in quotes loses the first and the last quote, as the interpreter does.
  if (!inner.empty() && inner.front() == '"') {
    const size_t last = inner.rfind('"');
    if (last > 0) inner.erase(last, 1);
    inner.erase(0, 1);
  }
  if (io.nesting >= kMaxNesting) {
    showLine(*io.shown, kSyntaxError);
    return;
  }
  runLine(inner, io.input, io.out, *io.shown, io.nesting + 1);
}

// "dir" lists the folder with a header, "." and "..", details and a summary; "/b" gives the
// bare names. A pattern selects files only, in the current folder only.
void runDir(const Words& words, Streams& io) {
  bool bare = false;
  const Word* pattern = nullptr;
  for (size_t k = 1; k < words.size(); ++k) {
    if (isSwitch(words[k])) {
      if (toLowerAscii(words[k].text) != "/b") {
        showLine(*io.shown, "Invalid switch - \"" + words[k].text.substr(1) + "\".");
        return;
      }
      bare = true;
    } else if (pattern != nullptr) {
      showLine(*io.shown, kSyntaxError);
      return;
    } else {
      pattern = &words[k];
    }
  }
  std::vector<Entry> entries = folderEntries();
  if (pattern != nullptr) {
    std::erase_if(entries, [&](const Entry& entry) {
      return entry.folder || !matchesPattern(entry.name, pattern->text);
    });
  }
  if (bare) {
    if (entries.empty()) showLine(*io.shown, "File Not Found");
    for (const Entry& entry : entries) putLine(io.out, entry.name);
    return;
  }
  putLine(io.out, " Volume in drive / has no label.");
  putLine(io.out, "");
  putLine(io.out, " Directory of " + currentFolder());
  putLine(io.out, "");
  if (pattern != nullptr && entries.empty()) {
    showLine(*io.shown, "File Not Found");
    return;
  }
  uintmax_t files = 0;
  uintmax_t folders = 0;
  uintmax_t bytes = 0;
  if (pattern == nullptr) {
    putLine(io.out, entryLine(modifiedTime("."), true, 0, "."));
    putLine(io.out, entryLine(modifiedTime(".."), true, 0, ".."));
    folders = 2;
  }
  for (const Entry& entry : entries) {
    putLine(io.out, entryLine(entry.time, entry.folder, entry.size, entry.name));
    if (entry.folder) {
      ++folders;
    } else {
      ++files;
      bytes += entry.size;
    }
  }
  std::error_code ec;
  const fs::space_info space = fs::space(".", ec);
  const uintmax_t available = ec ? 0 : space.available;
  putLine(io.out, padLeft(std::to_string(files), 16) + " File(s) " +
                      padLeft(groupedNumber(bytes), 14) + " bytes");
  putLine(io.out, padLeft(std::to_string(folders), 16) + " Dir(s) " +
                      padLeft(groupedNumber(available), 15) + " bytes free");
}

// "del /q PATTERN": removes the matching files of the current folder without a question;
// folders are never touched.
void runDel(const Words& words, Streams& io) {
  std::vector<const Word*> patterns;
  for (size_t k = 1; k < words.size(); ++k) {
    if (!isSwitch(words[k])) {
      patterns.push_back(&words[k]);
      continue;
    }
    const Text option = toLowerAscii(words[k].text);
    if (option != "/q" && option != "/f") {
      showLine(*io.shown, "Invalid switch - " + words[k].text);
      return;
    }
  }
  if (patterns.empty()) {
    showLine(*io.shown, kSyntaxError);
    return;
  }
  const fs::path folder = currentFolder();
  for (const Word* pattern : patterns) {
    bool matched = false;
    for (const Entry& entry : folderEntries()) {
      if (entry.folder || !matchesPattern(entry.name, pattern->text)) continue;
      matched = true;
      std::error_code ec;
      fs::remove(entry.name, ec);
      if (ec) {
        showLine(*io.shown, (folder / entry.name).string());
        showLine(*io.shown, "Access is denied.");
      }
    }
    if (!matched) showLine(*io.shown, "Could Not Find " + (folder / pattern->text).string());
  }
}

// "find [/i] [/v] "TEXT" [FILE...]": the lines that hold TEXT (with /v: that do not), under
// a heading for each file; without a file it reads what is piped in, with no heading.
void runFind(const Words& words, Streams& io) {
  bool ignoreCase = false;
  bool invert = false;
  const Word* needleWord = nullptr;
  std::vector<const Word*> files;
  for (size_t k = 1; k < words.size(); ++k) {
    if (isSwitch(words[k])) {
      const Text option = toLowerAscii(words[k].text);
      if (option == "/i") {
        ignoreCase = true;
      } else if (option == "/v") {
        invert = true;
      } else {
        showLine(*io.shown, "FIND: Invalid switch");
        return;
      }
    } else if (needleWord == nullptr) {
      needleWord = &words[k];
    } else {
      files.push_back(&words[k]);
    }
  }
  if (needleWord == nullptr) {
    showLine(*io.shown, "FIND: Parameter format not correct");
    return;
  }
  const Text needle = ignoreCase ? toLowerAscii(needleWord->text) : needleWord->text;
  Text lowered;
  // An empty TEXT is in no line, so /v "" passes every line, as with the real command.
  auto passLine = [&](TextView line) {
    TextView searched = line;
    if (ignoreCase) {
      toLowerAsciiInto(line, lowered);
      searched = lowered;
    }
    const bool holds = !needle.empty() && searched.find(needle) != TextView::npos;
    if (holds != invert) putLine(io.out, line);
  };
  if (files.empty()) {
    if (io.input == nullptr) return;  // no keyboard to read here: an empty input
    for (size_t at = 0; at < io.input->size();) passLine(nextLine(*io.input, at));
    return;
  }
  for (const Word* file : files) {
    std::error_code ec;
    if (!fs::is_regular_file(file->text, ec)) {
      showLine(*io.shown, "File not found - " + toUpperAscii(file->text));
      continue;
    }
    putLine(io.out, "");
    putLine(io.out, "---------- " + toUpperAscii(file->text));
    LineReader reader(file->text);
    while (!reader.atEnd()) passLine(reader.readLine());
  }
}

// "copy SOURCE [TARGET]": the bytes of one file, unchanged; names are taken as they are,
// without wildcards. An existing target is overwritten without a question.
void runCopy(const Words& words, Streams& io) {
  std::vector<const Word*> names;
  for (size_t k = 1; k < words.size(); ++k) {
    if (!isSwitch(words[k])) names.push_back(&words[k]);  // switches (/y, /b) change nothing
  }
  if (names.empty() || names.size() > 2) {
    showLine(*io.shown, kSyntaxError);
    return;
  }
  const fs::path source = names[0]->text;
  fs::path target = names.size() == 2 ? fs::path(names[1]->text) : fs::path(".");
  std::error_code ec;
  if (!fs::is_regular_file(source, ec)) {
    showLine(*io.shown, "The system cannot find the file specified.");
    putLine(io.out, kNoCopy);
    return;
  }
  if (fs::is_directory(target, ec)) target /= source.filename();
  // Copying a file onto itself would empty it before reading it.
  if (fs::equivalent(source, target, ec)) {
    showLine(*io.shown, "The file cannot be copied onto itself.");
    putLine(io.out, kNoCopy);
    return;
  }
  fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
  if (ec) {
    showLine(*io.shown, "Access is denied.");
    putLine(io.out, kNoCopy);
    return;
  }
  putLine(io.out, kOneCopy);
}

using Run = void (*)(const Words& words, Streams& io);

struct Command {
  TextView name;  // lower case
  Run run;
};

constexpr Command kCommands[] = {
    {"chcp", runChcp},   {"chcp.com", runChcp}, {"cmd", runCmd},
    {"cmd.exe", runCmd}, {"copy", runCopy},     {"del", runDel},
    {"dir", runDir},     {"find", runFind},     {"find.exe", runFind},
};

Run findCommand(TextView word) {
  const Text name = toLowerAscii(word);
  for (const Command& command : kCommands) {
    if (command.name == name) return command.run;
  }
  return nullptr;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

void runLine(TextView line, const Text* input, Output out, Text& shown, int nesting) {
  const Pipeline pipeline = parseLine(line);
  if (!pipeline.valid) {
    showLine(shown, kSyntaxError);
    return;
  }
  if (pipeline.commands.back().empty()) return;  // a blank line
  std::vector<Run> runs;
  bool allKnown = true;
  for (const Words& words : pipeline.commands) {
    const Run run = findCommand(words[0].text);
    if (run == nullptr) {
      showLine(shown, "'" + Text(words[0].raw) +
                          "' is not recognized as an internal or external command,");
      showLine(shown, "operable program or batch file.");
      allKnown = false;
    }
    runs.push_back(run);
  }
  if (!allKnown) return;

  std::unique_ptr<std::FILE, FileCloser> target;
  if (!pipeline.target.empty()) {
    target.reset(std::fopen(pipeline.target.c_str(), pipeline.append ? "ab" : "wb"));
    if (target == nullptr) {
      showLine(shown, "Access is denied.");
      return;
    }
  }
  Text piped;   // the output of the command before, the input of this one
  Text piping;  // the output of this one
  for (size_t k = 0; k < runs.size(); ++k) {
    const bool last = k + 1 == runs.size();
    Output commandOut = out;
    if (!last) {
      piping.clear();
      commandOut = Output{nullptr, &piping};
    } else if (target != nullptr) {
      commandOut = Output{target.get(), nullptr};
    }
    Streams io{k == 0 ? input : &piped, commandOut, &shown, nesting};
    runs[k](pipeline.commands[k], io);
    if (!last) std::swap(piped, piping);
  }
}

}  // namespace

void interpretCommandLine(TextView commandLine, Text& shown) {
  runLine(commandLine, nullptr, Output{nullptr, &shown}, shown, 0);
}

}  // namespace doc
