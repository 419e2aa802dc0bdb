// The table of contents, in one pass over the indented file. Only heading lines give an
// entry, so only they are escaped; the heading of a line is found with a forward-only
// cursor, so a line costs the same whatever the number of headings.
#include "html/table_of_contents.h"

#include "chapters/chapter_index.h"
#include "html/escape.h"

namespace doc {

void writeTableOfContents(LineReader& page, LineWriter& out, const ChapterTable& table) {
  out.writeLine("<b>TABLE OF CONTENTS</b>");

  HeadingCursor cursor;
  int64_t tocLineNumber = 0;  // the indented file keeps the input's line numbers
  Text escaped;               // both reused from entry to entry
  Text entry;

  while (!page.atEnd()) {
    const TextView line = page.readLine();
    ++tocLineNumber;
    const ChapterRow* row = headingAtLine(table, cursor, tocLineNumber);
    if (row == nullptr) continue;

    escapeAngleBracketsInto(line, escaped);
    const TextView heading = trimBlanks(escaped);
    // The entry stands as deep as the heading: its leading blanks are the chapter's indent.
    entry.assign(escaped.size() - trimLeadingBlanks(escaped).size(), ' ');
    entry += "<b>";
    entry += heading;
    entry += " <a href=\"#";
    entry += row->newNumber;  // the anchor id that the body gives this heading
    entry += "\">";
    entry += row->newNumber;
    entry += "</a> </b>";
    out.writeLine(entry);
  }

  out.writeLine("<br>");
}

}  // namespace doc
