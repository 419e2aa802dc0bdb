// The indented document, written in one streamed pass: each input line is trimmed, put
// behind the indentation of the chapter it stands in, and written at once, so the output
// keeps the input's line count. Headings are found with a forward-only cursor and
// references with a hash index, so a line costs the same whatever the number of headings.
#include "indent/indented_text.h"

#include <algorithm>

#include "chapters/chapter_index.h"
#include "run/console.h"
#include "run/line_file.h"

namespace doc {

namespace {

constexpr TextView kLookAtMarker = "look_at:";

// Writes `width` blanks in slices of a fixed run, so a wide indentation costs no memory.
void writeBlanks(LineWriter& out, int64_t width) {
  static constexpr TextView kRun =
      "                                                                "
      "                                                                ";
  while (width > 0) {
    const int64_t take = std::min(width, static_cast<int64_t>(kRun.size()));
    out.writeText(kRun.substr(0, static_cast<size_t>(take)));
    width -= take;
  }
}

}  // namespace

void writeIndentedText(const RunSettings& settings, const ChapterTable& table) {
  const Text indentedFileName = settings.baseName + "_indent.txt";
  LineReader in(settings.inputFileName);
  LineWriter out(indentedFileName);

  HeadingCursor cursor;
  const NumberIndex byWrittenNumber = indexByWrittenNumber(table);
  int64_t currentIndent = 0;  // carries over from a heading to every line up to the next one
  int64_t sourceLineNumber = 0;
  Text reference;  // reused from line to line

  while (!in.atEnd()) {
    const TextView line = trimBlanks(in.readLine());
    ++sourceLineNumber;

    const ChapterRow* heading = headingAtLine(table, cursor, sourceLineNumber);
    if (heading != nullptr) currentIndent = heading->indentWidth;

    // A heading whose new number is empty keeps its old number and is handled below.
    if (heading != nullptr && !heading->newNumber.empty()) {
      // The number word gives way to the new number; the first blank and all after it stay.
      writeBlanks(out, currentIndent);
      out.writeText(heading->newNumber);
      out.writeLine(sliceText(line, findFrom(line, " ", 1), -1));
      continue;
    }

    if (startsWithLowered(line, kLookAtMarker)) {
      // The character after the colon is skipped whatever it is; the rest must be the number.
      reference.assign(trimBlanks(sliceText(line, 10, -1)));
      if (reference.empty() || reference.back() != '.') reference.push_back('.');
      const ChapterRow* target = findFirstRow(table, byWrittenNumber, reference);
      // A chapter without a new number keeps its old one, and so do references to it:
      // rewriting them to the empty number would lose the reference.
      if (target != nullptr && !target->newNumber.empty()) {
        writeBlanks(out, currentIndent);
        out.writeText("look_at: ");
        out.writeLine(target->newNumber);
        continue;
      }
    }

    writeBlanks(out, currentIndent);
    out.writeLine(line);
  }

  in.close();
  out.close();

  printLine("====================");
  printLine("output files:");
  printLine(indentedFileName);
}

}  // namespace doc
