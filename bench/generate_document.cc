// Benchmark documents: writes a plain-text document of a requested size that holds what a
// real one does: paragraphs, chapter headings on up to six levels whose numbers need
// renumbering, "look_at:" references, bold lines, web and file addresses, table blocks.
// The same size always gives the same bytes, and a smaller document is a prefix of a
// larger one: the text comes from one fixed-seed generator and is cut at a chapter end.
//
// Usage: generate_document SIZE_MB OUT_FILE     (1 MB = 1,048,576 bytes)
#include <cerrno>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "run/text.h"

namespace {

using doc::Text;
using doc::TextView;

constexpr uint64_t kMegabyte = uint64_t{1} << 20;
constexpr uint64_t kMaxSizeMb = 4096;
constexpr size_t kLineWidth = 72;       // paragraphs are wrapped here
constexpr int kMaxDepth = 6;            // deepest heading level written
constexpr int kTopNumberLimit = 1999;   // numbers from 2000 up are dates, not chapters
constexpr size_t kRecentHeadings = 64;  // references mostly point to recent chapters

// splitmix64: small, fast and the same on every platform.
struct Random {
  uint64_t state = 0x5EED'2024'0C0F'FEE5ULL;
};

uint64_t nextRandom(Random& r) {
  uint64_t z = (r.state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

// A value in 0 .. n-1; REQUIRES: n > 0.
size_t below(Random& r, size_t n) { return static_cast<size_t>(nextRandom(r) % n); }

// A value in low .. high; REQUIRES: low <= high.
int between(Random& r, int low, int high) {
  return low + static_cast<int>(below(r, static_cast<size_t>(high - low + 1)));
}

// True with the given chance in percent.
bool chance(Random& r, int percent) { return below(r, 100) < static_cast<size_t>(percent); }

template <size_t N>
TextView pick(Random& r, const TextView (&words)[N]) {
  return words[below(r, N)];
}

constexpr TextView kWords[] = {
    "the",         "a",           "of",         "and",      "to",          "in",       "is",
    "for",         "with",        "on",         "that",     "by",          "this",     "as",
    "are",         "be",          "from",       "or",       "at",          "it",       "not",
    "each",        "when",        "which",      "system",   "document",    "chapter",  "section",
    "value",       "table",       "report",     "number",   "line",        "file",     "result",
    "user",        "process",     "program",    "data",     "level",       "order",    "list",
    "change",      "text",        "page",       "test",     "case",        "rule",     "account",
    "measurement", "operator",    "machine",    "schedule", "contract",    "delivery", "inspection",
    "supplier",    "customer",    "quality",    "budget",   "approval",    "revision", "drawing",
    "component",   "material",    "surface",    "pressure", "temperature", "interval", "tolerance",
    "procedure",   "instruction", "is checked", "is given", "remains",     "follows",  "applies",
    "depends",     "describes",   "contains",   "requires", "replaces",    "records",  "shows",
    "new",         "previous",    "first",      "last",     "main",        "other",    "annual",
    "technical",   "general",     "local",      "written",  "complete",    "usually",  "always",
    "only",        "again",       "later",      "directly", "between",     "after",    "before",
    "under",       "within",      "without",    "2 pages",  "3 weeks",     "12 units", "40 hours",
    "150 mm",      "2024",        "3,5 kg",     "0,25 m",   "7%",          "A4",       "no. 17",
    "e.g.",
};

constexpr TextView kTitleWords[] = {
    "Scope",       "Purpose",  "Overview", "Definitions", "Requirements", "Design",     "Operation",
    "Maintenance", "Safety",   "Testing",  "Results",     "Summary",      "Background", "Methods",
    "Materials",   "Budget",   "Schedule", "Delivery",    "Inspection",   "Quality",    "Records",
    "Appendix",    "Examples", "Limits",   "Interfaces",  "Storage",      "Transport",  "Training",
    "Reporting",   "Review",   "General",  "Technical",   "Annual",       "Local",      "Main",
    "Open",        "Points",   "Notes",    "Procedures",  "Data",         "Tables",     "Figures",
};

// Bytes from 128 up pass through every stage unchanged; some documents hold them.
constexpr TextView kAccentedWords[] = {
    "Größe", "Übersicht", "café", "naïve", "résumé", "Maßnahme", "über", "Prüfung",
};

constexpr TextView kAlignValues[] = {"left", "center", "right", "Right", "CENTER"};

// Buffered output that reports the first failed write.
struct Output {
  std::FILE* file = nullptr;
  Text buffer;
  uint64_t written = 0;
  uint64_t lines = 0;
  bool failed = false;
};

void flushOutput(Output& out) {
  if (!out.buffer.empty() && !out.failed &&
      std::fwrite(out.buffer.data(), 1, out.buffer.size(), out.file) != out.buffer.size()) {
    out.failed = true;
  }
  out.buffer.clear();
}

// Every line ends with CR LF, as documents from the target platform do.
void writeLine(Output& out, TextView line) {
  out.buffer.append(line);
  out.buffer.append("\r\n");
  out.written += line.size() + 2;
  ++out.lines;
  if (out.buffer.size() >= kMegabyte) flushOutput(out);
}

void appendNumber(Text& text, uint64_t value) {
  char digits[24];
  std::snprintf(digits, sizeof digits, "%" PRIu64, value);
  text.append(digits);
}

void appendSentence(Random& r, Text& text) {
  const int count = between(r, 5, 16);
  for (int i = 0; i < count; ++i) {
    if (!text.empty() && text.back() != ' ') text.push_back(' ');
    TextView word = pick(r, kWords);
    if (chance(r, 1)) word = pick(r, kAccentedWords);
    if (i == 0 && word[0] >= 'a' && word[0] <= 'z') {
      text.push_back(static_cast<char>(word[0] - 'a' + 'A'));
      text.append(word.substr(1));
    } else {
      text.append(word);
    }
    if (i + 1 < count && chance(r, 6)) text.push_back(',');
  }
  text.push_back('.');
}

// The statistics the generator prints at the end.
struct Counts {
  uint64_t headings = 0;
  uint64_t skippedDates = 0;
  uint64_t references = 0;
  uint64_t boldLines = 0;
  uint64_t addresses = 0;
  uint64_t tables = 0;
};

// Extra content that a paragraph line may carry.
void appendLineExtra(Random& r, Text& line, Counts& counts) {
  const size_t kind = below(r, 200);
  if (kind < 6) {
    line.append(" See http://www.example.org/docs/");
    line.append(pick(r, kTitleWords));
    line.append("/page");
    appendNumber(line, below(r, 500));
    line.append(".html for the full text.");
    ++counts.addresses;
  } else if (kind < 8) {
    line.append(" Details: https://intranet.example.com/wiki/Item_");
    appendNumber(line, below(r, 9000));
    line.append(" and http://mirror.example.net/a.pdf");
    ++counts.addresses;
  } else if (kind < 10) {
    line.append(" The source is file:///C:/Documents/Archive/report_");
    appendNumber(line, below(r, 300));
    line.append(".txt");
    ++counts.addresses;
  } else if (kind < 11) {
    line.append(" <HTTP://WWW.EXAMPLE.ORG/INDEX.HTM>");
    ++counts.addresses;
  } else if (kind < 14) {
    line.append(" If a < b and b > c, then a <= c holds.");
  } else if (kind < 15) {
    line.append(" Marked <b>important</b> in the original & kept.");
  }
}

// A paragraph wrapped at kLineWidth; some paragraphs are quoted with leading blanks or a
// tab, and a few are written as one long line.
void writeParagraph(Random& r, Output& out, Counts& counts) {
  Text text;
  const int sentences = between(r, 2, 8);
  for (int i = 0; i < sentences; ++i) appendSentence(r, text);
  Text prefix;
  if (chance(r, 5))
    prefix = "    ";
  else if (chance(r, 2))
    prefix = "\t";
  if (chance(r, 2)) {  // no line breaks at all
    appendLineExtra(r, text, counts);
    writeLine(out, prefix + text);
    return;
  }
  size_t start = 0;
  Text line;
  while (start < text.size()) {
    size_t end = start + kLineWidth;
    if (end >= text.size()) {
      end = text.size();
    } else {
      const size_t blank = text.rfind(' ', end);
      if (blank != Text::npos && blank > start) end = blank;
    }
    line = prefix;
    line.append(text, start, end - start);
    if (chance(r, 10)) appendLineExtra(r, line, counts);
    if (chance(r, 3)) line.append("   ");  // trailing blanks are trimmed by the program
    writeLine(out, line);
    start = end;
    while (start < text.size() && text[start] == ' ') ++start;
  }
}

// The chapter numbering as the author wrote it: mostly in order, with gaps, jumps over a
// level and the odd missing final dot, so the program has renumbering to do.
struct Numbering {
  std::vector<int> parts;  // the last heading's number, one entry per level
  int nextTop = 1;
  int volume = 1;
  std::vector<Text> recent;  // ring of recent headings' numbers as written
  size_t recentNext = 0;
};

Text joinNumber(const std::vector<int>& parts) {
  Text number;
  for (int part : parts) {
    appendNumber(number, static_cast<uint64_t>(part));
    number.push_back('.');
  }
  return number;
}

// Moves the numbering to the next heading; false when a new volume begins before it.
// Every way back to the top level takes the next top number, so top numbers only grow.
bool advanceNumbering(Random& r, Numbering& n) {
  const int depth = static_cast<int>(n.parts.size());
  // Deep levels are rarer than shallow ones: the deeper the heading, the likelier the
  // next one goes back up.
  static constexpr int kDeeperPercent[kMaxDepth + 1] = {0, 100, 35, 25, 15, 8, 0};
  static constexpr int kHigherPercent[kMaxDepth + 1] = {0, 0, 8, 25, 35, 45, 60};
  bool toTop = depth <= 1 ? depth == 0 || chance(r, 4) : chance(r, 1);
  if (!toTop) {
    const int move = static_cast<int>(below(r, 100));
    const size_t level = static_cast<size_t>(depth);
    if (move < kDeeperPercent[level]) {
      n.parts.push_back(chance(r, 5) ? 2 : 1);
      if (chance(r, 4) && depth + 1 < kMaxDepth) n.parts.push_back(1);  // a level skipped
    } else if (move >= 100 - kHigherPercent[level]) {
      n.parts.pop_back();
      if (n.parts.size() == 1) {
        toTop = true;
      } else {
        if (chance(r, 15) && n.parts.size() > 2) n.parts.pop_back();  // two levels up
        n.parts.back() += 1;
      }
    } else {  // same level, now and then with a gap
      n.parts.back() += chance(r, 6) ? 2 : 1;
    }
  }
  if (!toTop) return true;
  bool newVolume = false;
  if (n.nextTop > kTopNumberLimit) {
    n.nextTop = 1;
    ++n.volume;
    newVolume = true;
  }
  n.parts.assign(1, n.nextTop);
  n.nextTop += chance(r, 8) ? 2 : 1;
  return !newVolume;
}

void writeHeading(Random& r, Output& out, Numbering& n, Counts& counts) {
  if (!advanceNumbering(r, n)) {
    writeLine(out, "");
    Text volume = "<b>Volume ";
    appendNumber(volume, static_cast<uint64_t>(n.volume));
    volume.append("</b>");
    writeLine(out, volume);
    ++counts.boldLines;
  }
  Text number = joinNumber(n.parts);
  if (n.parts.size() > 1 && chance(r, 5)) number.pop_back();  // "2.1 Scope"
  Text line;
  if (chance(r, 4)) line = "  ";  // already indented by hand
  line.append(number);
  line.append(chance(r, 3) ? "   " : " ");
  const int words = between(r, 1, 4);
  for (int i = 0; i < words; ++i) {
    if (i > 0) line.push_back(' ');
    line.append(pick(r, kTitleWords));
  }
  if (chance(r, 2)) line.append(" (draft)");
  writeLine(out, "");
  writeLine(out, line);
  writeLine(out, "");
  ++counts.headings;

  if (n.recent.size() < kRecentHeadings) {
    n.recent.push_back(number);
  } else {
    n.recent[n.recentNext] = number;
    n.recentNext = (n.recentNext + 1) % kRecentHeadings;
  }
}

// A "look_at:" line naming a recent chapter, in the forms authors use.
void writeReference(Random& r, Output& out, const Numbering& n, Counts& counts) {
  if (n.recent.empty()) return;
  Text target = n.recent[below(r, n.recent.size())];
  Text line = chance(r, 10) ? "LOOK_AT: " : "look_at: ";
  if (chance(r, 3)) line.insert(0, "  ");
  if (chance(r, 5)) {
    line.append("999.99.");  // names no chapter
  } else {
    if (target.back() == '.' && chance(r, 30)) target.pop_back();
    line.append(target);
    if (chance(r, 5)) line.append(" for the details");  // text after the number: no match
  }
  writeLine(out, line);
  ++counts.references;
}

void writeBoldLine(Random& r, Output& out, Counts& counts) {
  Text line;
  switch (below(r, 4)) {
    case 0:
      line = "<b>Note: ";
      appendSentence(r, line);
      line.append("</b>");
      break;
    case 1:
      line = "   <B>WARNING: do not skip this step</B>  ";
      break;
    case 2:
      line = "<b>Important</b> ";  // bold text followed by more: shown as text
      appendSentence(r, line);
      break;
    default:
      line = "<b>";
      line.append(pick(r, kTitleWords));
      line.append("</b>");
      break;
  }
  writeLine(out, line);
  ++counts.boldLines;
}

// A table block: start line with caption, two to four columns with optional alignment
// lines and uneven cell counts, end line.
void writeTable(Random& r, Output& out, Counts& counts) {
  ++counts.tables;
  Text line = "table_start: Table ";
  appendNumber(line, counts.tables);
  line.append(": ");
  line.append(pick(r, kTitleWords));
  if (chance(r, 5)) line = "table_start: ";  // no caption
  writeLine(out, "");
  writeLine(out, line);
  const int columns = between(r, 2, 4);
  const int rows = between(r, 2, 8);
  for (int c = 0; c < columns; ++c) {
    line = chance(r, 10) ? "Column: " : "column: ";
    if (!chance(r, 5)) line.append(pick(r, kTitleWords));
    writeLine(out, line);
    if (chance(r, 40)) {
      line = "align: ";
      line.append(pick(r, kAlignValues));
      writeLine(out, line);
    }
    const int cells = chance(r, 15) ? between(r, 1, rows) : rows;
    for (int row = 0; row < cells; ++row) {
      line.clear();
      switch (below(r, 10)) {
        case 0:
          line = "<b>total</b>";
          break;
        case 1:
          break;  // an empty cell
        case 2:
        case 3:
        case 4:
          appendNumber(line, below(r, 100000));
          break;
        default:
          line.append(pick(r, kWords));
          line.push_back(' ');
          line.append(pick(r, kWords));
          break;
      }
      writeLine(out, line);
    }
  }
  writeLine(out, "table_end:");
  writeLine(out, "");
}

// One chapter: its heading and a body of about one kilobyte.
void writeChapter(Random& r, Output& out, Numbering& n, Counts& counts) {
  writeHeading(r, out, n, counts);
  const int paragraphs = between(r, 1, 4);
  for (int p = 0; p < paragraphs; ++p) {
    if (p > 0) writeLine(out, chance(r, 5) ? "    " : "");
    writeParagraph(r, out, counts);
  }
  if (chance(r, 12)) writeReference(r, out, n, counts);
  if (chance(r, 8)) writeBoldLine(r, out, counts);
  if (chance(r, 5)) writeTable(r, out, counts);
  if (chance(r, 1)) {
    // Numbers from 2000 up look like headings but are dates.
    Text line;
    appendNumber(line, static_cast<uint64_t>(between(r, 2000, 2030)));
    line.push_back('.');
    appendNumber(line, static_cast<uint64_t>(between(r, 1, 12)));
    line.append(". Status meeting of the project group");
    writeLine(out, line);
    ++counts.skippedDates;
  }
  if (chance(r, 2)) writeLine(out, "12 items were delivered, 1,5 t in total.");
}

// REQUIRES: text is a decimal number; 0 for anything else.
uint64_t parseSize(const char* text) {
  if (text[0] < '0' || text[0] > '9') return 0;
  errno = 0;
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text, &end, 10);
  if (errno != 0 || *end != '\0') return 0;
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: generate_document SIZE_MB OUT_FILE  (1 MB = 1048576 bytes)\n");
    return 2;
  }
  const uint64_t sizeMb = parseSize(argv[1]);
  if (sizeMb < 1 || sizeMb > kMaxSizeMb) {
    std::fprintf(stderr, "generate_document: SIZE_MB must be 1 to %" PRIu64 "\n", kMaxSizeMb);
    return 2;
  }
  Output out;
  out.file = std::fopen(argv[2], "wb");
  if (out.file == nullptr) {
    std::fprintf(stderr, "generate_document: cannot create %s: %s\n", argv[2],
                 std::strerror(errno));
    return 1;
  }
  out.buffer.reserve(kMegabyte + 64 * 1024);
  const uint64_t target = sizeMb * kMegabyte;

  Random random;
  Numbering numbering;
  Counts counts;
  writeLine(out, "Handbook of the project group");
  writeLine(out, "=============================");
  writeLine(out, "");
  writeParagraph(random, out, counts);
  while (out.written < target && !out.failed) writeChapter(random, out, numbering, counts);
  flushOutput(out);
  if (std::fclose(out.file) != 0) out.failed = true;
  if (out.failed) {
    std::fprintf(stderr, "generate_document: writing %s failed\n", argv[2]);
    return 1;
  }
  std::printf("%s: %" PRIu64 " bytes, %" PRIu64 " lines, %" PRIu64 " headings (+%" PRIu64
              " date lines), %" PRIu64 " references, %" PRIu64 " bold lines, %" PRIu64
              " address lines, %" PRIu64 " tables\n",
              argv[2], out.written, out.lines, counts.headings, counts.skippedDates,
              counts.references, counts.boldLines, counts.addresses, counts.tables);
  return 0;
}
