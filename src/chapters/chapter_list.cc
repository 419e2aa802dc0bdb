// Chapter levels, new numbers and indentation widths, the console list of old and new
// numbers, and the chapter list file with every filled cell of every row.
#include "chapters/chapter_list.h"

#include <algorithm>

#include "chapters/components.h"
#include "run/console.h"
#include "run/line_file.h"

namespace doc {

namespace {

void appendCell(Text& line, TextView cell) {
  if (cell.empty()) return;
  line.append(cell);
  line.append("  ");
}

}  // namespace

void listChapters(const RunSettings& settings, ChapterTable& table) {
  const auto n = static_cast<size_t>(table.chapterCount);
  printLine("====================");
  for (size_t r = 0; r < n; ++r) {
    ChapterRow& row = table.rows[r];
    int level = 0;
    const TextView leading = leadingComponents(row, level);
    row.newNumber.assign(leading);
    for (char& c : row.newNumber) {
      if (c == ' ') c = '.';
    }
    if (level == 1) row.newNumber.push_back('.');
    row.indentWidth = int64_t{settings.indentIncrement} * level;
    printZoned(row.writtenNumber);
    printLine(row.newNumber);
  }

  LineWriter list(baseNameOf(settings.inputFileName) + "_chapters.txt");
  Text line;
  for (size_t r = 0; r < n; ++r) {
    const ChapterRow& row = table.rows[r];
    line.clear();
    appendCell(line, row.writtenNumber);
    appendCell(line, intToText(row.lineNumber));
    appendCell(line, intToText(row.indentWidth));
    appendCell(line, row.newNumber);
    // The packed components in column order; empty ones leave no trace.
    const TextView packed = row.packedComponents;
    for (size_t from = 0; from <= packed.size();) {
      const size_t to = std::min(packed.find(' ', from), packed.size());
      appendCell(line, packed.substr(from, to - from));
      from = to + 1;
    }
    line.append("  ");
    list.writeLine(line);
    list.writeLine("  ");
  }
  list.close();
}

}  // namespace doc
