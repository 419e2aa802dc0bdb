// The body pass: bold pass-through, escaping, then web link, file link, reference, table,
// heading and plain line, the first rule that writes ending the line's handling.
#include "html/body_lines.h"

#include "chapters/chapter_index.h"
#include "html/escape.h"
#include "html/html_table.h"
#include "html/links.h"

namespace doc {

namespace {

// The buffers of one pass, reused from line to line.
struct BodyLine {
  Text escaped;  // the escaped line, for a line that holds an angle bracket
  Text current;  // a table's start line, kept while the table is read
  Text output;   // the page line being built
};

void appendReferenceLink(Text& output, TextView number) {
  output.append("<span><a href=\"#");
  output.append(number);
  output.append("\"> ");
  output.append(number);
  output.append("</a></span>");
}

void buildHeadingLine(TextView line, TextView number, Text& output) {
  const TextView indented = trimLeadingBlanks(line);
  output.assign(line.size() - indented.size(), ' ');
  output.append("<span style=\"color:blue\"; ID=\"");
  output.append(number);
  output.append("\"><b>");
  output.append(trimBlanks(indented));
  output.append("</b></span>");
}

}  // namespace

void writeBodyLines(LineReader& page, LineWriter& out, const ChapterTable& table,
                    TextView baseName) {
  const NumberIndex byNewNumber = indexByNewNumber(table);
  HeadingCursor headings;
  int64_t bodyLineNumber = 0;
  BodyLine body;
  while (!page.atEnd()) {
    body.output.clear();
    const TextView read = page.readLine();
    ++bodyLineNumber;
    if (isBoldPassThrough(read)) {
      out.writeLine(read);
      continue;
    }
    // The line itself when it has nothing to escape: it is written before the next read.
    const TextView current = escapeAngleBracketsView(read, body.escaped);

    // Web link before file link: a line with both links its first "http".
    const size_t marker = findAddressMarker(current);
    if (marker != TextView::npos) {
      linkFirstAddressInto(current, static_cast<int64_t>(marker) + 1, body.output);
      out.writeLine(body.output);
      continue;
    }

    // Lowering never makes or removes a blank, so the markers are looked for in the line
    // trimmed and compared lowered byte by byte, not in a lowered copy.
    const TextView text = trimLeadingBlanks(current);
    if (startsWithLowered(text, "look_at:")) {
      // Only blanks stand before the marker, so its first occurrence is right after them.
      body.output.assign(current.substr(0, current.size() - text.size()));
      body.output.append("look_at: ");
      const TextView reference = sliceText(trimBlanks(current), 10, -1);
      if (const ChapterRow* row = findFirstRow(table, byNewNumber, reference)) {
        appendReferenceLink(body.output, row->newNumber);
        out.writeLine(body.output);
        continue;
      }
      // No chapter bears the number: the heading rule may still write the line; if it
      // does not, the line is written as it stands rather than left out of the page.
    } else if (startsWithLowered(text, "table_start:")) {
      // The table reads on in the page, so the line must not stay a view into its buffer.
      body.current.assign(current);
      writeTableBlock(body.current, page, out, baseName, bodyLineNumber);
      continue;
    }

    if (const ChapterRow* row = headingAtLine(table, headings, bodyLineNumber)) {
      buildHeadingLine(current, row->newNumber, body.output);
      out.writeLine(body.output);
      continue;
    }
    out.writeLine(current);
  }
}

}  // namespace doc
