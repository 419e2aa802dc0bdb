#include "chapters/chapter_index.h"

namespace doc {

const ChapterRow* headingAtLine(const ChapterTable& table, HeadingCursor& cursor,
                                int64_t lineNumber) {
  const int64_t n = table.chapterCount;
  while (cursor.next < n && table.rows[static_cast<size_t>(cursor.next)].lineNumber < lineNumber)
    ++cursor.next;
  if (cursor.next < n && table.rows[static_cast<size_t>(cursor.next)].lineNumber == lineNumber)
    return &table.rows[static_cast<size_t>(cursor.next)];
  return nullptr;
}

namespace {

template <typename Column>
NumberIndex indexBy(const ChapterTable& table, Column column) {
  NumberIndex index;
  index.firstRow.reserve(static_cast<size_t>(table.chapterCount));
  for (int64_t r = 0; r < table.chapterCount; ++r)
    index.firstRow.try_emplace(TextView(column(table.rows[static_cast<size_t>(r)])), r);
  return index;
}

}  // namespace

NumberIndex indexByWrittenNumber(const ChapterTable& table) {
  return indexBy(table, [](const ChapterRow& row) -> const Text& { return row.writtenNumber; });
}

NumberIndex indexByNewNumber(const ChapterTable& table) {
  return indexBy(table, [](const ChapterRow& row) -> const Text& { return row.newNumber; });
}

const ChapterRow* findFirstRow(const ChapterTable& table, const NumberIndex& index,
                               TextView number) {
  auto found = index.firstRow.find(number);
  if (found == index.firstRow.end()) return nullptr;
  return &table.rows[static_cast<size_t>(found->second)];
}

}  // namespace doc
