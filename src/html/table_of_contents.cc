// The table of contents, in one pass over the indented file. Only heading lines give an
// entry, so only they are read and escaped: the reader skips the lines between them, whose
// line ends it counts in bulk. The rows hold the headings' line numbers in increasing order,
// so a line costs the same whatever the number of headings.
#include "html/table_of_contents.h"

#include <limits>

#include "html/escape.h"

namespace doc {

void writeTableOfContents(LineReader& page, LineWriter& out, const ChapterTable& table) {
  out.writeLine("<b>TABLE OF CONTENTS</b>");

  int64_t tocLineNumber = 0;  // lines read or skipped; the indented file keeps the input's
  Text escaped;               // both reused from entry to entry
  Text entry;

  for (int64_t r = 0; r < table.chapterCount; ++r) {
    const ChapterRow& row = table.rows[static_cast<size_t>(r)];
    // A row at a line already passed gives no entry, as with the forward-only cursor.
    if (row.lineNumber <= tocLineNumber) continue;
    const int64_t before = row.lineNumber - 1 - tocLineNumber;
    const int64_t skipped = page.skipLines(before);
    tocLineNumber += skipped;
    if (skipped < before || page.atEnd()) break;  // the file ends before the heading
    const TextView line = page.readLine();
    ++tocLineNumber;

    escapeAngleBracketsInto(line, escaped);
    const TextView heading = trimBlanks(escaped);
    // The entry stands as deep as the heading: its leading blanks are the chapter's indent.
    entry.assign(escaped.size() - trimLeadingBlanks(escaped).size(), ' ');
    entry += "<b>";
    entry += heading;
    entry += " <a href=\"#";
    entry += row.newNumber;  // the anchor id that the body gives this heading
    entry += "\">";
    entry += row.newNumber;
    entry += "</a> </b>";
    out.writeLine(entry);
  }
  // The pass leaves the reader at the end of the file.
  page.skipLines(std::numeric_limits<int64_t>::max());

  out.writeLine("<br>");
}

}  // namespace doc
