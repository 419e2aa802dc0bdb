// Chapter headings: recognition, the counting and the collecting pass, and the split of
// each written number into its components.
#include "chapters/chapter_headings.h"

#include "run/console.h"
#include "run/line_file.h"
#include "run/waits.h"

namespace doc {

namespace {

// Headings whose first number reaches this belong to dates and years, not to chapters.
constexpr double kFirstYear = 2000.0;

}  // namespace

std::optional<TextView> isChapterHeading(TextView line) {
  // The number word runs to the first blank. Its bytes are checked from the front, so
  // that most lines, which begin with a letter, are done with at their first byte rather
  // than after a search of the whole line for the blank.
  bool hasDot = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const auto code = static_cast<unsigned char>(line[i]);
    if (code == ' ') {
      if (!hasDot) return std::nullopt;
      return line.substr(0, i);
    }
    if (code == '.') {
      hasDot = true;
    } else if (code < '0' || code > '9') {
      return std::nullopt;
    }
  }
  return std::nullopt;  // no blank after the word
}

namespace {

// Whether parseNumber reads the number word (digits and dots only) as kFirstYear or more.
// The value is the digits before the first dot with a fraction below one after them, so
// up to 15 digits, exact in a real, the digits alone decide, unless they are 1999, where
// a long fraction of nines can round the value up to 2000. Saves strtod on every heading.
bool readsAsYear(TextView word) {
  constexpr size_t kExactDigits = 15;
  uint64_t whole = 0;
  size_t i = 0;
  for (; i < word.size() && word[i] != '.'; ++i) {
    if (i == kExactDigits) return parseNumber(word) >= kFirstYear;
    whole = whole * 10 + static_cast<uint64_t>(word[i] - '0');
  }
  const auto firstYear = static_cast<uint64_t>(kFirstYear);
  if (whole == firstYear - 1) return parseNumber(word) >= kFirstYear;
  return whole >= firstYear;
}

}  // namespace

int64_t countChapterHeadings(const RunSettings& settings) {
  LineReader reader(settings.inputFileName);
  int64_t count = 0;
  while (!reader.atEnd()) {
    if (isChapterHeading(trimBlanks(reader.readLine()))) ++count;
  }
  if (count == 0) {
    printLine();
    printLine("The file does not have a chapter marked.");
    waitAnyKeyEnd();
  }
  return count;
}

void collectChapterHeadings(const RunSettings& settings, ChapterTable& table) {
  LineReader reader(settings.inputFileName);
  const size_t room = table.rows.size();
  size_t n = 0;
  int64_t lineNumber = 0;
  // Stops storing when the rows are used up, in case the file grew since it was counted.
  while (!reader.atEnd() && n < room) {
    const TextView line = trimBlanks(reader.readLine());
    ++lineNumber;
    const std::optional<TextView> word = isChapterHeading(line);
    // The number's value is that of the whole line; for a heading the reading of the
    // number stops inside the number word, so the word alone gives the same value.
    if (!word || readsAsYear(*word)) continue;
    ChapterRow& row = table.rows[n++];
    row.writtenNumber.assign(*word);
    row.lineNumber = lineNumber;
  }
  reader.close();
  table.chapterCount = static_cast<int64_t>(n);
}

void splitNumber(ChapterTable& table) {
  for (int64_t r = 0; r < table.chapterCount; ++r) {
    ChapterRow& row = table.rows[static_cast<size_t>(r)];
    const TextView written = row.writtenNumber;
    // Components past the last column are dropped; the written number stays whole.
    int count = 1;
    size_t end = written.size();
    for (size_t i = 0; i < written.size(); ++i) {
      if (written[i] != '.') continue;
      if (count == kMaxComponents) {
        end = i;
        break;
      }
      ++count;
    }
    row.packedComponents.assign(written.substr(0, end));
    for (char& c : row.packedComponents) {
      if (c == '.') c = ' ';
    }
    row.componentCount = static_cast<uint8_t>(count);
  }
}

}  // namespace doc
