// Fault suite: hostile documents, numbers, tables, folders, file names and answers, each
// run through the whole program. Whatever arrives, a run ends in one of its two waits with
// exit status 0, shows the messages the dialogue has for the case, leaves the document's
// bytes as they were, and leaves no file but its results and scratch files and no process.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <set>
#include <vector>

#include "e2e/program_run.h"

#if defined(__SANITIZE_ADDRESS__)
#define FAULT_TEST_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FAULT_TEST_SANITIZED 1
#endif
#endif

namespace doc {
namespace {

namespace fs = std::filesystem;

const std::string kProgram = "www.example.org.exe";
const std::string kEndWait = "<1> = continue and end\r\n";
const std::string kAnyKeyWait = "<...> any key for continue, end\r\n";
const std::string kNoChapter = "\r\nThe file does not have a chapter marked.\r\n" + kAnyKeyWait;
const std::string kOutOfRange = "line number is out of range\r\n\r\n" + kAnyKeyWait;
const std::string kNoInterpreter =
    "Checking for cmd.exe\r\nIt is probably necessary to set the system path to the "
    "program.\r\n" +
    kEndWait;
const std::string kNoFind =
    "Checking for find.exe\r\nYou probably need to set the system path to the program.\r\n"
    "Or there are no txt files here.\r\n" +
    kEndWait;
const std::vector<std::string> kScratchFiles = {"check_01.txt", "check_02.txt", "dir_a_01.txt",
                                                "sour_in.txt", "out.list"};
// Runs that go through a whole large document are given this long (sanitized builds are
// slow); everything else takes the harness's default.
constexpr int kLargeRunSeconds = 900;

// ---- Names, positions and files -------------------------------------------------------

std::string upperAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return text;
}

std::string lowerAscii(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return text;
}

std::string baseOf(const std::string& name) {
  const size_t txt = lowerAscii(name).find(".txt");
  return txt == std::string::npos ? name : name.substr(0, txt);
}

// The number the document has in the program's list: the folder's ".txt" names that do not
// hold "indent", the check files written just before included, ordered with their letters
// in capitals and bytes unsigned.
int listPosition(const std::string& document) {
  std::vector<std::string> listed = {"check_01.txt", "check_02.txt", "dir_a_01.txt", document};
  std::sort(listed.begin(), listed.end(), [](const std::string& a, const std::string& b) {
    return upperAscii(a) < upperAscii(b);  // char_traits<char> compares bytes unsigned
  });
  return static_cast<int>(std::find(listed.begin(), listed.end(), document) - listed.begin()) + 1;
}

struct FileFacts {
  uintmax_t size = 0;
  uint64_t hash = 0;  // FNV-1a of the bytes
  bool operator==(const FileFacts&) const = default;
};

FileFacts factsOfBytes(const std::string& bytes) {
  FileFacts facts;
  facts.hash = 14695981039346656037ull;
  for (const char c : bytes) {
    facts.hash ^= static_cast<unsigned char>(c);
    facts.hash *= 1099511628211ull;
  }
  facts.size = bytes.size();
  return facts;
}

// Size and hash, read in pieces so that a file of hundreds of megabytes costs no memory.
FileFacts factsOf(const fs::path& path) {
  FileFacts facts;
  facts.hash = 14695981039346656037ull;
  std::ifstream in(path, std::ios::binary);
  std::vector<char> chunk(1 << 20);
  while (in) {
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    const auto got = static_cast<size_t>(in.gcount());
    for (size_t i = 0; i < got; ++i) {
      facts.hash ^= static_cast<unsigned char>(chunk[i]);
      facts.hash *= 1099511628211ull;
    }
    facts.size += got;
  }
  return facts;
}

std::string fileText(const ProgramRun& run, const std::string& name) {
  return readFile((run.folder() / name).string());
}

bool isFile(const ProgramRun& run, const std::string& name) {
  return fs::is_regular_file(run.folder() / name);
}

std::vector<std::string> linesOf(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t from = 0;
  for (size_t end; (end = bytes.find("\r\n", from)) != std::string::npos; from = end + 2)
    lines.push_back(bytes.substr(from, end - from));
  if (from < bytes.size()) lines.push_back(bytes.substr(from));
  return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string repeated(const std::string& piece, size_t times) {
  std::string text;
  text.reserve(piece.size() * times);
  for (size_t i = 0; i < times; ++i) text += piece;
  return text;
}

std::string tailOf(const std::string& text, size_t bytes = 400) {
  return text.size() <= bytes ? text : text.substr(text.size() - bytes);
}

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// ---- What every run must show ---------------------------------------------------------

void expectEndsIn(const ProgramResult& result, const std::string& consoleEnd) {
  EXPECT_FALSE(result.timedOut) << "the run hung and was killed";
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_TRUE(endsWith(result.console, consoleEnd))
      << "console ends\n"
      << testing::PrintToString(tailOf(result.console)) << "\nexpected it to end\n"
      << testing::PrintToString(consoleEnd);
}

// No process may keep running in the folder after the run: the program starts none, and
// nothing it was handed may have started one.
void expectNoProcessLeft(const ProgramRun& run) {
  const std::string folder = run.folder().string();
  std::error_code ec;
  for (fs::directory_iterator it("/proc", ec), end; !ec && it != end; it.increment(ec)) {
    const std::string pid = it->path().filename().string();
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    std::error_code ignored;
    const std::string cwd = fs::read_symlink(it->path() / "cwd", ignored).string();
    const bool inFolder = cwd == folder || cwd.rfind(folder + "/", 0) == 0;
    if (!ignored && pid != std::to_string(getpid())) {
      EXPECT_FALSE(inFolder) << "process " << pid << " is still in the folder";
    }
  }
}

// Every entry of the folder after the run is one of `allowed`, the program's copy or an
// input; a scratch copy of the document, when made, holds its bytes.
void expectOnlyFiles(const ProgramRun& run, const std::set<std::string>& allowed,
                     const std::string& document, const FileFacts& documentFacts) {
  for (const auto& entry : fs::directory_iterator(run.folder())) {
    const std::string name = entry.path().filename().string();
    if (name == kProgram || name == document) continue;
    EXPECT_EQ(allowed.count(name), 1u) << "stray file " << testing::PrintToString(name);
  }
  if (isFile(run, "sour_in.txt")) {
    EXPECT_TRUE(factsOf(run.folder() / "sour_in.txt") == documentFacts)
        << "sour_in.txt is not a copy of the document";
  }
}

std::set<std::string> scratchAnd(std::initializer_list<std::string> more) {
  std::set<std::string> names(kScratchFiles.begin(), kScratchFiles.end());
  names.insert(more);
  return names;
}

std::set<std::string> resultsOf(const std::string& document) {
  const std::string base = baseOf(document);
  return scratchAnd(
      {base + "_chapters.txt", base + "_indent.txt", base + "_indent.htm", base + "_table.txt"});
}

void expectDocumentIntact(const ProgramRun& run, const std::string& document,
                          const FileFacts& before) {
  ASSERT_TRUE(isFile(run, document)) << document << " is gone";
  EXPECT_TRUE(factsOf(run.folder() / document) == before) << document << " was changed";
}

// A run that got through every stage to the end screen with this document.
void expectCompleteRun(const ProgramRun& run, const ProgramResult& result,
                       const std::string& document, const FileFacts& facts) {
  expectEndsIn(result, kEndWait);
  EXPECT_TRUE(contains(result.console, "\r\ninput file: " + document + "\r\n"));
  EXPECT_TRUE(contains(result.console, "\r\nOutput file: " + baseOf(document) + "_indent.htm\r\n"));
  expectDocumentIntact(run, document, facts);
  expectOnlyFiles(run, resultsOf(document), document, facts);
  expectNoProcessLeft(run);
}

// Puts the document into the folder and answers the prompts: its list number, then `rest`.
ProgramResult runDocument(ProgramRun& run, const std::string& document, const std::string& bytes,
                          const std::string& rest = "\n\n", int timeoutSeconds = 60) {
  run.addFile(document, bytes);
  return run.run(std::to_string(listPosition(document)) + "\n" + rest, kProgram, timeoutSeconds);
}

// Test names from the cases' labels.
template <typename Case>
std::string caseLabel(const testing::TestParamInfo<Case>& param) {
  return param.param.label;
}

bool memoryIsMeasured() {
#if defined(FAULT_TEST_SANITIZED)
  return false;
#else
  return programWrapper().empty();
#endif
}

// ---- Document bytes -------------------------------------------------------------------

struct BytesCase {
  const char* label;
  std::string document;
  int chapterRows;                    // 0: the run ends at the chapter check
  std::vector<std::string> indented;  // the indented document, line by line
};

std::string allHighBytes() {
  std::string bytes;
  for (int b = 128; b <= 255; ++b) bytes.push_back(static_cast<char>(b));
  return bytes;
}

std::string utf16(const std::string& ascii, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char c : ascii) {
    if (bigEndian) out.push_back('\0');
    out.push_back(c);
    if (!bigEndian) out.push_back('\0');
  }
  return out;
}

using namespace std::string_literals;

const BytesCase kBytesCases[] = {
    {"nul", "1. Null\0byte\n\0\n2. Two\0\n"s, 2, {"  1. Null\0byte"s, "  \0"s, "  2. Two\0"s}},
    // A byte 26 is an ordinary byte: the document goes on after it.
    {"ctrl_z",
     "1. Before\x1a after\n\x1a\n2. After it\n",
     2,
     {"  1. Before\x1a after", "  \x1a", "  2. After it"}},
    {"high_bytes",
     "1. " + allHighBytes() + "\n\x80. no heading\n2.\xA0 nor this\n",
     1,
     {"  1. " + allHighBytes(), "  \x80. no heading", "  2.\xA0 nor this"}},
    {"invalid_utf8",
     "1. \xC3\x28 \xE2\x82\n\xF0\x9F\x98\n\xC0\xAF \xED\xA0\x80\n",
     1,
     {"  1. \xC3\x28 \xE2\x82", "  \xF0\x9F\x98", "  \xC0\xAF \xED\xA0\x80"}},
    // No mark is skipped: the first line's number word starts with the mark's bytes.
    {"utf8_byte_order_mark",
     "\xEF\xBB\xBF"
     "1. First\n2. Second\n",
     1,
     {"\xEF\xBB\xBF"
      "1. First",
      "  2. Second"}},
    {"utf16_little_endian", utf16("1. First\r\n2. Second\r\n", false), 0, {}},
    {"utf16_big_endian", utf16("1. First\r\n2. Second\r\n", true), 0, {}},
    // A CR alone ends no line; the one that is the file's last byte is dropped.
    {"cr_only_line_ends", "1. One\r1.1. Two\r2. Three\r", 1, {"  1. One\r1.1. Two\r2. Three"}},
    {"mixed_line_ends", "1. A\r\n\r\r\n2. B", 2, {"  1. A", "  \r", "  2. B"}},
    {"only_blanks", "     \n \n\n      ", 0, {}},
    {"empty", "", 0, {}},
};

void PrintTo(const BytesCase& c, std::ostream* out) { *out << c.label; }

class DocumentBytes : public testing::TestWithParam<BytesCase> {};

TEST_P(DocumentBytes, EndsSoundly) {
  const BytesCase& c = GetParam();
  ProgramRun run;
  const std::string document = "zz.txt";
  const ProgramResult result = runDocument(run, document, c.document);
  const FileFacts facts = factsOfBytes(c.document);
  if (c.chapterRows == 0) {
    expectEndsIn(result, kNoChapter);
    expectDocumentIntact(run, document, facts);
    expectOnlyFiles(run, scratchAnd({}), document, facts);
    expectNoProcessLeft(run);
    return;
  }
  expectCompleteRun(run, result, document, facts);
  EXPECT_EQ(linesOf(fileText(run, "zz_chapters.txt")).size(),
            static_cast<size_t>(2 * c.chapterRows));
  EXPECT_EQ(testing::PrintToString(fileText(run, "zz_indent.txt")),
            testing::PrintToString(joinLines(c.indented)));
}

INSTANTIATE_TEST_SUITE_P(Cases, DocumentBytes, testing::ValuesIn(kBytesCases),
                         caseLabel<BytesCase>);

// One line of 200 MB: it goes through every stage whole, and the run's memory stays within
// a few times that line.
TEST(LongLine, TwoHundredMegabytes) {
  constexpr size_t kLineBytes = size_t{200} << 20;
  ProgramRun run;
  const std::string document = "zz.txt";
  const std::string piece = repeated("abcdefg ", 8);  // 64 bytes, blanks inside
  {
    std::ofstream out(run.folder() / document, std::ios::binary);
    out << "1. Start\n  ";
    for (size_t written = 0; written < kLineBytes; written += piece.size()) out << piece;
    out << "<end>  \n2. End\n";
  }
  const FileFacts facts = factsOf(run.folder() / document);
  const ProgramResult result =
      run.run(std::to_string(listPosition(document)) + "\n\n\n", kProgram, kLargeRunSeconds);
  expectCompleteRun(run, result, document, facts);
  RecordProperty("maxResidentKb", std::to_string(result.maxResidentKb));
  if (memoryIsMeasured()) {
    EXPECT_LT(result.maxResidentKb, static_cast<long>(5 * kLineBytes / 1024))
        << "peak memory of more than five times the line";
  }

  // The long line keeps every byte, trimmed at both ends and indented for chapter 1.
  const uintmax_t longLine = kLineBytes + 5;  // the pieces, then "<end>"
  EXPECT_EQ(fs::file_size(run.folder() / "zz_indent.txt"),
            (2 + 8 + 2) + (2 + longLine + 2) + (2 + 6 + 2));
  std::ifstream page(run.folder() / "zz_indent.htm", std::ios::binary);
  page.seekg(-4096, std::ios::end);
  std::string pageEnd(4096, '\0');
  page.read(pageEnd.data(), 4096);
  EXPECT_TRUE(contains(pageEnd, "abcdefg &lt;end&gt;\r\n"));
  EXPECT_TRUE(contains(pageEnd, "ID=\"2.\"><b>2. End</b>"));
}

// ---- Number words ---------------------------------------------------------------------

struct NumberCase {
  const char* label;
  std::string document;
  std::vector<std::string> indented;
};

std::string numberOfComponents(int count) {
  std::string word;
  for (int k = 1; k <= count; ++k) word += std::to_string(k) + ".";
  return word;
}

const std::string kNines400(400, '9');
const std::string kZeros399(399, '0');

const NumberCase kNumberCases[] = {
    // Components past the table's 26 columns are dropped; the word stays as written.
    {"forty_components",
     "1. Intro\n" + numberOfComponents(40) + " Deep\n2. Next\n",
     {"  1. Intro", "    1.1 Deep", "  2. Next"}},
    {"deeper_of_400_digits",
     "1. A\n1." + kNines400 + ". Long\n2. B\n",
     {"  1. A", "    1.1 Long", "  2. B"}},
    // The first chapter counts on from the value of its number, leading zeros and all.
    {"top_of_400_digits",
     kZeros399 + "7. Seven\n1. Next\n",
     {"  " + kZeros399 + "7. Seven", "  8. Next"}},
    // First numbers below 2000 are chapters, 2000 and more are years; a fraction that
    // rounds to 2000 is a year too.
    {"year_edges",
     "1999. Last\n1999.99999 Fraction\n2000. Year\n02000. Padded\n"
     "1999.9999999999999999 Rounds\n2000.5.1. x\n1999.9 Sub\n",
     {"  1999. Last", "    1999.1 Fraction", "    2000. Year", "    02000. Padded",
      "    1999.9999999999999999 Rounds", "    2000.5.1. x", "    1999.2 Sub"}},
    // Every heading a year: counted, not stored; the stages run with an empty table.
    {"only_years", "2000. a\n2015.1. b\ntext\n", {"2000. a", "2015.1. b", "text"}},
};

void PrintTo(const NumberCase& c, std::ostream* out) { *out << c.label; }

class NumberWords : public testing::TestWithParam<NumberCase> {};

TEST_P(NumberWords, EndsSoundly) {
  const NumberCase& c = GetParam();
  ProgramRun run;
  const ProgramResult result = runDocument(run, "zz.txt", c.document);
  expectCompleteRun(run, result, "zz.txt", factsOfBytes(c.document));
  EXPECT_EQ(fileText(run, "zz_indent.txt"), joinLines(c.indented));
}

INSTANTIATE_TEST_SUITE_P(Cases, NumberWords, testing::ValuesIn(kNumberCases),
                         caseLabel<NumberCase>);

// The data lines of a chapter list file: fields apart by two blanks, every other line.
std::vector<std::vector<std::string>> chapterListRows(const std::string& file) {
  std::vector<std::vector<std::string>> rows;
  const std::vector<std::string> lines = linesOf(file);
  for (size_t i = 0; i < lines.size(); i += 2) {
    std::vector<std::string> fields;
    size_t from = 0;
    for (size_t end; (end = lines[i].find("  ", from)) != std::string::npos; from = end + 2)
      fields.push_back(lines[i].substr(from, end - from));
    rows.push_back(fields);
  }
  return rows;
}

size_t componentCount(const std::string& number) {
  return number.empty() ? 0
                        : static_cast<size_t>(std::count(number.begin(), number.end(), '.')) +
                              (number.back() == '.' ? 0 : 1);
}

// Sections that each end two levels deeper push every later heading one level down, past
// the 26 levels the table holds: every heading still gets a number of its own.
TEST(Renumbering, DriftPastTheDeepestLevel) {
  std::string document = "1. Top\n";
  for (int i = 2; i <= 40; ++i) {
    const std::string s = "1." + std::to_string(i) + ".";
    document += s + " s\n" + s + "1. t\n" + s + "1.1. u\n";
  }
  document += "2. Next\nlook_at: 1.40.1.1.\n";
  ProgramRun run;
  const ProgramResult result = runDocument(run, "zz.txt", document);
  expectCompleteRun(run, result, "zz.txt", factsOfBytes(document));

  const auto rows = chapterListRows(fileText(run, "zz_chapters.txt"));
  ASSERT_EQ(rows.size(), 1u + 39 * 3 + 1);
  std::set<std::string> numbers;
  size_t deepest = 0;
  for (const auto& row : rows) {
    ASSERT_GE(row.size(), 4u);
    const std::string& newNumber = row[3];
    EXPECT_FALSE(newNumber.empty()) << "row written " << row[0];
    EXPECT_TRUE(numbers.insert(newNumber).second) << newNumber << " given twice";
    EXPECT_LE(componentCount(newNumber), 26u) << newNumber;
    deepest = std::max(deepest, componentCount(newNumber));
  }
  EXPECT_EQ(deepest, 26u);
  EXPECT_EQ(rows.back()[3], "2.");
  // The reference follows its chapter to the new number.
  const std::vector<std::string> indented = linesOf(fileText(run, "zz_indent.txt"));
  const std::string& lastNew = rows[rows.size() - 2][3];
  EXPECT_EQ(indented.back(), "  look_at: " + lastNew);
}

// A component of 400 digits is beyond the range of a real: raising it must still give a
// chapter number, made of digits, and never the text of an infinite value.
TEST(Renumbering, RaisedComponentOf400Digits) {
  const std::string document = "1." + kNines400 + ". Long\n1.2. Next\n1.2.1. Below\n";
  ProgramRun run;
  const ProgramResult result = runDocument(run, "zz.txt", document);
  expectCompleteRun(run, result, "zz.txt", factsOfBytes(document));
  for (const auto& row : chapterListRows(fileText(run, "zz_chapters.txt"))) {
    ASSERT_GE(row.size(), 4u);
    EXPECT_EQ(row[3].find_first_not_of("0123456789.e+"), std::string::npos)
        << "row written " << row[0].substr(0, 20) << "... got the number " << row[3];
  }
  EXPECT_FALSE(contains(fileText(run, "zz_indent.txt"), "inf"));
}

// ---- Table blocks ---------------------------------------------------------------------

const std::string kTableTag =
    "<table style=\"font-size:100%\" table align=\"center\" border=\"1\">";

struct TableCase {
  const char* label;
  std::string document;
  std::vector<std::string> page;  // consecutive page lines, from the first table tag
  std::vector<std::string> workFile;
};

const TableCase kTableCases[] = {
    // Without an end line the block takes the rest of the document; the last column's
    // cells past the rows the other columns found are left out.
    {"no_end_line",
     "1. A\ntable_start: T\ncolumn: H1\na\nb\ncolumn: H2\nc\nd\ne\n2. Inside\n",
     {kTableTag, "<caption><b>T</b></caption>", "<tr>", "<th>H1</th>", "<th>H2</th>", "</tr>",
      "<tr>", "<td>a</td>", "<td>c</td>", "</tr>", "<tr>", "<td>b</td>", "<td>d</td>", "</tr>",
      " </table>"},
     {"  table_start: T", "  column: H1", "  a", "  b", "  column: H2", "  c", "  d", "  e",
      "  2. Inside"}},
    // The line after a column line is read past the end of the work file.
    {"column_line_last",
     "1. A\ntable_start: T\ncolumn: Only",
     {kTableTag, "<caption><b>T</b></caption>", "<tr>", "<th>Only</th>", "</tr>", " </table>"},
     {"  table_start: T", "  column: Only"}},
    {"back_to_back",
     "1. A\ntable_start: One\ncolumn: x\n1\ntable_end:\ntable_start: Two\ncolumn: y\n2\n"
     "table_end:\n2. After\n",
     {kTableTag, "<caption><b>One</b></caption>", "<tr>", "<th>x</th>", "</tr>", "<tr>",
      "<td>1</td>", "</tr>", " </table>", kTableTag, "<caption><b>Two</b></caption>", "<tr>",
      "<th>y</th>", "</tr>", "<tr>", "<td>2</td>", "</tr>", " </table>",
      "  <span style=\"color:blue\"; ID=\"2.\"><b>2. After</b></span>"},
     {"  table_start: Two", "  column: y", "  2", "  table_end:"}},
    {"start_line_last",
     "1. A\ntable_start: Last",
     {kTableTag, "<caption><b>Last</b></caption>", " </table>"},
     {"  table_start: Last"}},
    {"end_line_last",
     "1. A\ntable_start: E\ncolumn: c\nv\ntable_end:",
     {kTableTag, "<caption><b>E</b></caption>", "<tr>", "<th>c</th>", "</tr>", "<tr>", "<td>v</td>",
      "</tr>", " </table>"},
     {"  table_start: E", "  column: c", "  v", "  table_end:"}},
};

void PrintTo(const TableCase& c, std::ostream* out) { *out << c.label; }

class TableBlocks : public testing::TestWithParam<TableCase> {};

TEST_P(TableBlocks, EndsSoundly) {
  const TableCase& c = GetParam();
  ProgramRun run;
  const ProgramResult result = runDocument(run, "zz.txt", c.document);
  expectCompleteRun(run, result, "zz.txt", factsOfBytes(c.document));
  const std::string page = fileText(run, "zz_indent.htm");
  const std::string table = joinLines(c.page);
  const size_t at = page.find(kTableTag);
  EXPECT_EQ(testing::PrintToString(page.substr(at == std::string::npos ? 0 : at, table.size())),
            testing::PrintToString(table));
  EXPECT_EQ(fileText(run, "zz_table.txt"), joinLines(c.workFile));
}

INSTANTIATE_TEST_SUITE_P(Cases, TableBlocks, testing::ValuesIn(kTableCases), caseLabel<TableCase>);

// A block of `columns` columns with one cell each, then one column of `cells` cells.
std::string wideAndLongBlock(int columns, int cells) {
  std::string document = "1. Tables\ntable_start: Wide and long\n";
  for (int j = 0; j < columns; ++j)
    document += "column: h" + std::to_string(j) + "\nc" + std::to_string(j) + "\n";
  document += "column: long\n";
  for (int i = 0; i < cells; ++i) document += "r" + std::to_string(i) + "\n";
  document += "table_end:\n2. After\n";
  return document;
}

// The page of a wide and long block: every row has a cell line for every column.
TEST(LargeTable, WideAndLongRowsAreComplete) {
  constexpr int kSize = 1000;
  const std::string document = wideAndLongBlock(kSize, kSize);
  ProgramRun run;
  const ProgramResult result = runDocument(run, "zz.txt", document, "\n\n", kLargeRunSeconds);
  expectCompleteRun(run, result, "zz.txt", factsOfBytes(document));

  std::vector<std::string> table = {kTableTag, "<caption><b>Wide and long</b></caption>", "<tr>"};
  for (int j = 0; j < kSize; ++j) table.push_back("<th>h" + std::to_string(j) + "</th>");
  table.push_back("<th>long</th>");
  table.push_back("</tr>");
  for (int r = 0; r < kSize; ++r) {
    table.push_back("<tr>");
    for (int j = 0; j < kSize; ++j)
      table.push_back(r == 0 ? "<td>c" + std::to_string(j) + "</td>" : "<td></td>");
    table.push_back("<td>r" + std::to_string(r) + "</td>");
    table.push_back("</tr>");
  }
  table.push_back(" </table>");
  table.push_back("  <span style=\"color:blue\"; ID=\"2.\"><b>2. After</b></span>");
  const std::string page = fileText(run, "zz_indent.htm");
  EXPECT_TRUE(contains(page, joinLines(table))) << "the table's page lines differ";
}

// 50,000 columns of one cell and one column of 50,000 cells in one block: the page has
// 50,000 rows of 50,001 cells (some 27 GB, sent to a null device here), and the run's
// memory stays in proportion to the block, not to its rows times its columns.
TEST(LargeTable, FiftyThousandByFiftyThousandInModestMemory) {
#if defined(FAULT_TEST_SANITIZED)
  GTEST_SKIP() << "some 2.5 billion cell lines take minutes under the sanitizers, where memory "
                  "is not measured either; the block's bounds are checked by the smaller case";
#endif
  const std::string document = wideAndLongBlock(50000, 50000);
  ProgramRun run;
  fs::create_symlink("/dev/null", run.folder() / "zz_indent.htm");
  const ProgramResult result = runDocument(run, "zz.txt", document, "\n\n", kLargeRunSeconds);
  expectCompleteRun(run, result, "zz.txt", factsOfBytes(document));
  RecordProperty("maxResidentKb", std::to_string(result.maxResidentKb));
  if (memoryIsMeasured()) {
    EXPECT_LT(result.maxResidentKb, 100L * 1024) << "more than 100 MB";
  }
  const std::vector<std::string> work = linesOf(fileText(run, "zz_table.txt"));
  ASSERT_EQ(work.size(), 1u + 2 * 50000 + 1 + 50000 + 1);
  EXPECT_EQ(work.back(), "  table_end:");
}

// ---- Folders where the results cannot be written --------------------------------------

// A small memory file system mounted over the run's folder for one test, gone at its end.
struct FolderMount {
  std::string where;
  bool mounted = false;
  FolderMount() = default;
  FolderMount(const FolderMount&) = delete;
  FolderMount& operator=(const FolderMount&) = delete;
  ~FolderMount() {
    if (mounted) umount2(where.c_str(), MNT_DETACH);
  }
};

bool mountMemoryFileSystem(FolderMount& mount, const fs::path& where, uintmax_t bytes) {
  const std::string options = "size=" + std::to_string((bytes + 1023) / 1024) + "k,mode=700";
  mount.where = where.string();
  mount.mounted =
      ::mount("tmpfs", mount.where.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
  return mount.mounted;
}

bool remountReadOnly(const FolderMount& mount) {
  return ::mount("tmpfs", mount.where.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

const std::string kSmallDocument =
    "1. First\ntable_start: T\ncolumn: c\nv\ntable_end:\n2. Second\nlook_at: 1.\n";

// Nothing can be written: the first check finds no listing and the run ends there.
TEST(UnwritableFolder, ReadOnlyFolder) {
  ProgramRun run;
  FolderMount mount;
  // The superuser writes whatever the permissions say; for it the folder is made a file
  // system mounted read-only instead.
  const bool superuser = geteuid() == 0;
  if (superuser && !mountMemoryFileSystem(mount, run.folder(), 64u << 20))
    GTEST_SKIP() << "running as the superuser, for whom permissions do not bite, and no file "
                    "system can be mounted here to make the folder read-only";
  run.addFile("zz.txt", kSmallDocument);
  run.placeProgram(kProgram);
  if (superuser) {
    ASSERT_TRUE(remountReadOnly(mount));
  } else {
    fs::permissions(run.folder(), fs::perms::owner_read | fs::perms::owner_exec);
  }
  const ProgramResult result = run.run("4\n\n\n");
  if (!superuser) fs::permissions(run.folder(), fs::perms::owner_all);
  const FileFacts facts = factsOfBytes(kSmallDocument);
  expectEndsIn(result, kNoInterpreter);
  expectDocumentIntact(run, "zz.txt", facts);
  expectOnlyFiles(run, {}, "zz.txt", facts);
  expectNoProcessLeft(run);
}

// The disk fills up while the results are written: they are cut short without a message,
// and the run still ends on the end screen with the document intact.
TEST(UnwritableFolder, FullDisk) {
  std::string document;
  for (int i = 1; i <= 3000; ++i)
    document += std::to_string(i) + ". Chapter with a title of some length\n  text\n";
  ProgramRun run;
  FolderMount mount;
  const uintmax_t room = fs::file_size(programPath()) + 2 * document.size() + (64u << 10);
  if (!mountMemoryFileSystem(mount, run.folder(), room))
    GTEST_SKIP() << "no small file system can be mounted here (needs the superuser)";
  const ProgramResult result = runDocument(run, "zz.txt", document);
  const FileFacts facts = factsOfBytes(document);
  expectCompleteRun(run, result, "zz.txt", facts);
  struct statvfs space {};
  ASSERT_EQ(statvfs(run.folder().c_str(), &space), 0);
  EXPECT_LT(space.f_bavail * space.f_bsize, 64u << 10) << "the disk never filled up";
}

struct BlockedCase {
  const char* label;
  const char* folderName;  // a folder where the run wants to write a file of that name
  std::string consoleEnd;
  std::vector<std::pair<std::string, std::string>> fileHolds;  // file, bytes it contains
  std::vector<std::pair<std::string, std::string>> fileLacks;
};

const std::string kAnchorAfterTable = "ID=\"2.\"><b>2. Second</b>";
const std::string kEndScreen = "\r\nOutput file: zz_indent.htm\r\n\r\nProgram info: ";

const BlockedCase kBlockedCases[] = {
    {"check_file", "check_01.txt", kNoInterpreter, {}, {}},
    {"find_file", "check_02.txt", kNoFind, {}, {}},
    {"list_file", "dir_a_01.txt", kOutOfRange, {}, {}},
    {"copy", "sour_in.txt", kEndWait, {{"zz_indent.htm", kAnchorAfterTable}}, {}},
    {"copy_report", "out.list", kEndWait, {{"zz_indent.htm", kAnchorAfterTable}}, {}},
    {"chapter_list",
     "zz_chapters.txt",
     kEndWait,
     {{"zz_indent.txt", "  1. First\r\n"}, {"zz_indent.htm", kAnchorAfterTable}},
     {}},
    // The page is made from the indented file: without it the page has its frame only.
    {"indented_file", "zz_indent.txt", kEndWait, {}, {{"zz_indent.htm", "1. First"}}},
    {"page", "zz_indent.htm", kEndWait, {{"zz_indent.txt", "  2. Second\r\n"}}, {}},
    // Without the work file the table is empty, and the lines after it keep their places.
    {"table_work_file",
     "zz_table.txt",
     kEndWait,
     {{"zz_indent.htm", kTableTag + "\r\n<caption><b>T</b></caption>\r\n </table>\r\n"},
      {"zz_indent.htm", kAnchorAfterTable}},
     {}},
};

void PrintTo(const BlockedCase& c, std::ostream* out) { *out << c.label; }

class BlockedResult : public testing::TestWithParam<BlockedCase> {};

TEST_P(BlockedResult, RunGoesOn) {
  const BlockedCase& c = GetParam();
  ProgramRun run;
  fs::create_directory(run.folder() / c.folderName);
  const ProgramResult result = runDocument(run, "zz.txt", kSmallDocument);
  const FileFacts facts = factsOfBytes(kSmallDocument);
  expectEndsIn(result, c.consoleEnd);
  if (c.consoleEnd == kEndWait) {
    EXPECT_TRUE(contains(result.console, kEndScreen));
  }
  expectDocumentIntact(run, "zz.txt", facts);
  std::set<std::string> allowed = resultsOf("zz.txt");
  allowed.insert(c.folderName);
  expectOnlyFiles(run, allowed, "zz.txt", facts);
  expectNoProcessLeft(run);
  EXPECT_TRUE(fs::is_directory(run.folder() / c.folderName));
  // A copy into a folder named like the copy's target lands inside it, as the command
  // interpreter does it; nothing else may appear there.
  for (const auto& entry : fs::directory_iterator(run.folder() / c.folderName)) {
    EXPECT_EQ(entry.path().filename(), "zz.txt");
    EXPECT_TRUE(factsOf(entry.path()) == facts);
  }
  for (const auto& [file, bytes] : c.fileHolds) {
    EXPECT_TRUE(contains(fileText(run, file), bytes)) << file << " lacks " << bytes;
  }
  for (const auto& [file, bytes] : c.fileLacks) {
    EXPECT_FALSE(contains(fileText(run, file), bytes)) << file << " holds " << bytes;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, BlockedResult, testing::ValuesIn(kBlockedCases),
                         caseLabel<BlockedCase>);

// ---- File names -----------------------------------------------------------------------

struct NameCase {
  const char* label;
  std::string name;
};

// Each name would run a command (most of them create a file "pwned") if it reached a
// shell; the stray-file check catches any such file.
const NameCase kNameCases[] = {
    {"blanks", "my notes.txt"},
    {"leading_blank", " leading.txt"},
    {"double_quotes", "say \"hi\" pwned.txt"},
    {"single_quote", "it's.txt"},
    {"semicolon", "a;touch pwned.txt.txt"},
    {"ampersand", "a&touch pwned&.txt"},
    {"double_ampersand", "a && touch pwned.txt"},
    {"pipe", "a|touch pwned.txt"},
    {"redirection", "a > pwned.txt"},
    {"input_redirection", "a < pwned.txt"},
    {"command_substitution", "$(touch pwned).txt"},
    {"backquotes", "`touch pwned`.txt"},
    {"variable", "%PATH%$HOME.txt"},
    {"escape", "a^&touch pwned.txt"},
    {"leading_dash", "-rf.txt"},
    {"double_dash", "--help.txt"},
    {"utf8", "caf\xC3\xA9 \xE2\x82\xAC.txt"},
    {"invalid_utf8", "\xFF\xFE\x80.txt"},
    {"capitals", "Report.TXT"},
    // The copy's own target: copying it onto itself would empty it first.
    {"scratch_copy_name", "sour_in.txt"},
};

void PrintTo(const NameCase& c, std::ostream* out) { *out << c.label; }

class FileNames : public testing::TestWithParam<NameCase> {};

TEST_P(FileNames, ProcessedByItsFullName) {
  const NameCase& c = GetParam();
  const std::string document = "1. A\n2. B\n";
  ProgramRun run;
  const ProgramResult result = runDocument(run, c.name, document);
  expectCompleteRun(run, result, c.name, factsOfBytes(document));
  const std::string base = baseOf(c.name);
  EXPECT_EQ(fileText(run, base + "_indent.txt"), "  1. A\r\n  2. B\r\n");
  EXPECT_TRUE(isFile(run, base + "_chapters.txt"));
  EXPECT_TRUE(contains(fileText(run, base + "_indent.htm"), "ID=\"2.\"><b>2. B</b>"));
}

INSTANTIATE_TEST_SUITE_P(Cases, FileNames, testing::ValuesIn(kNameCases), caseLabel<NameCase>);

// A name of 254 bytes is valid, but the names of its results are too long for the file
// system: they are not made, and the run goes on to the end screen all the same.
TEST(FileNameLength, ResultNamesTooLong) {
  const std::string name = std::string(250, 'n') + ".txt";
  const std::string document = "1. A\ntable_start: T\ncolumn: c\nv\ntable_end:\n2. B\n";
  ProgramRun run;
  const ProgramResult result = runDocument(run, name, document);
  expectCompleteRun(run, result, name, factsOfBytes(document));
  expectOnlyFiles(run, scratchAnd({}), name, factsOfBytes(document));
}

// ---- Answers --------------------------------------------------------------------------

struct AnswerCase {
  const char* label;
  std::string before;  // typed before the document's number ("" with no number at all)
  bool number;         // whether the number is typed
  std::string after;
  bool complete;  // false: the run ends as out of range
  int indentStep;
  bool toc;
};

const AnswerCase kAnswerCases[] = {
    {"nothing", "", false, "", false, 0, false},
    {"number_without_line_end", "", true, "", true, 2, false},
    {"ends_at_increment", "", true, "\n", true, 2, false},
    {"ends_at_contents", "", true, "\n3\n", true, 3, false},
    {"ends_at_wait", "", true, "\n3\ny\n", true, 3, true},
    {"ends_inside_contents_answer", "", true, "\n3\ny", true, 3, true},
    {"ten_thousand_byte_answers", std::string(9999, '0'), true,
     "\n3" + std::string(9999, 'x') + "\n" + std::string(10000, 'y') + "\n", true, 3, true},
    {"ten_thousand_digit_number", std::string(10000, '9'), false, "\n\n\n", false, 0, false},
    {"ten_thousand_digit_increment", "", true, "\n" + std::string(10000, '9') + "\n\n", true, 2,
     false},
    {"ten_thousand_blanks_for_contents", "", true, "\n\n" + std::string(10000, ' ') + "\n", true, 2,
     false},
};

void PrintTo(const AnswerCase& c, std::ostream* out) { *out << c.label; }

class Answers : public testing::TestWithParam<AnswerCase> {};

TEST_P(Answers, EndSoundly) {
  const AnswerCase& c = GetParam();
  const std::string document = "1. A\n1.1. B\n";
  ProgramRun run;
  run.addFile("zz.txt", document);
  const std::string number = c.number ? std::to_string(listPosition("zz.txt")) : "";
  const ProgramResult result = run.run(c.before + number + c.after);
  const FileFacts facts = factsOfBytes(document);
  if (!c.complete) {
    expectEndsIn(result, kOutOfRange);
    expectDocumentIntact(run, "zz.txt", facts);
    expectOnlyFiles(run, scratchAnd({}), "zz.txt", facts);
    expectNoProcessLeft(run);
    return;
  }
  expectCompleteRun(run, result, "zz.txt", facts);
  const std::string step(static_cast<size_t>(c.indentStep), ' ');
  EXPECT_EQ(fileText(run, "zz_indent.txt"), step + "1. A\r\n" + step + step + "1.1 B\r\n");
  EXPECT_EQ(contains(fileText(run, "zz_indent.htm"), "<b>TABLE OF CONTENTS</b>"), c.toc);
}

INSTANTIATE_TEST_SUITE_P(Cases, Answers, testing::ValuesIn(kAnswerCases), caseLabel<AnswerCase>);

}  // namespace
}  // namespace doc
