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
  const size_t blank = line.find(' ');
  if (blank == TextView::npos) return std::nullopt;
  const TextView word = line.substr(0, blank);
  bool hasDot = false;
  for (const char c : word) {
    const auto code = static_cast<unsigned char>(c);
    if (code == '.') {
      hasDot = true;
    } else if (code < '0' || code > '9') {
      return std::nullopt;
    }
  }
  if (!hasDot) return std::nullopt;
  return word;
}

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
    if (!word || parseNumber(*word) >= kFirstYear) continue;
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
