// Renumbering: top-level headings count on from the first chapter's number, every other
// heading is built from the previous heading's new number and moves at most one level
// from it, by how the dot counts of the two numbers as written compare.
#include "chapters/renumber.h"

#include "chapters/components.h"

namespace doc {

namespace {

int64_t dotCount(TextView number) {
  int64_t dots = 0;
  for (const char c : number) dots += c == '.' ? 1 : 0;
  return dots;
}

void normaliseWritten(Text& written) {
  if (written.empty() || written.back() != '.') written.push_back('.');
}

// The row gets `leading` (count components) with its last component raised by one.
// REQUIRES: count >= 1.
void raiseLast(ChapterRow& row, TextView leading, int count) {
  const size_t lastBlank = leading.rfind(' ');
  const size_t lastFrom = lastBlank == TextView::npos ? 0 : lastBlank + 1;
  row.packedComponents.assign(leading.substr(0, lastFrom));
  row.packedComponents.append(incrementText(leading.substr(lastFrom)));
  row.componentCount = static_cast<uint8_t>(count);
}

// The row gets `leading` (count components) followed by a new component "1".
void appendOne(ChapterRow& row, TextView leading, int count) {
  row.packedComponents.assign(leading);
  if (count > 0) row.packedComponents.push_back(' ');
  row.packedComponents.push_back('1');
  row.componentCount = static_cast<uint8_t>(count + 1);
}

// Row r's new components from the previous row's new number, given the dot counts of the
// two numbers as written.
void followPrevious(ChapterRow& row, const ChapterRow& previous, int64_t depth,
                    int64_t previousDepth) {
  int m = 0;
  const TextView leading = leadingComponents(previous, m);
  if (depth > previousDepth) {
    // With every component column in use there is no room for a deeper level: the
    // heading becomes the next one on the deepest level instead, so it still gets a
    // number of its own.
    if (m < kMaxComponents)
      appendOne(row, leading, m);
    else
      raiseLast(row, leading, m);
  } else if (depth == previousDepth) {
    if (m >= 2)
      raiseLast(row, leading, m);
    else
      appendOne(row, leading, m);
  } else if (m == 2) {
    raiseLast(row, leading, m);
  } else if (m >= 3) {
    raiseLast(row, leading.substr(0, leading.rfind(' ')), m - 1);
  } else {
    setComponents(row, {}, 0);  // nothing above the previous heading's level to go to
  }
}

}  // namespace

void renumberChapters(ChapterTable& table) {
  const auto n = static_cast<size_t>(table.chapterCount);
  if (n == 0) return;
  std::vector<ChapterRow>& rows = table.rows;

  const int firstComponentCount = filledComponentCount(rows[0]);
  // Wide enough that no count of rows can run it over.
  int64_t topCounter = toInteger(parseNumber(rows[0].writtenNumber));

  // References are matched against the written numbers in this form.
  normaliseWritten(rows[0].writtenNumber);
  int64_t previousDepth = dotCount(rows[0].writtenNumber);

  // One pass does all steps for a row: the top-level count of a row depends only on rows
  // before it, and a row is built from the previous row once that one is finished, so this
  // gives the same rows as running each step over the whole table in turn.
  for (size_t r = 1; r < n; ++r) {
    ChapterRow& row = rows[r];
    normaliseWritten(row.writtenNumber);
    const int64_t depth = dotCount(row.writtenNumber);
    // A heading with no more components than the first chapter is numbered on from it;
    // headings that are then built from their predecessor use up a number too.
    if (filledComponentCount(row) <= firstComponentCount) {
      ++topCounter;
      if (depth == 1) setFirstComponent(row, intToText(topCounter));
    }
    if (depth != 1) followPrevious(row, rows[r - 1], depth, previousDepth);
    previousDepth = depth;
  }
}

}  // namespace doc
