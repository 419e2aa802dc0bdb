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
  Text current;  // the escaped line
  Text lowered;  // the escaped line lowered, where the markers are looked for
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
    if (isBoldPassThrough(read)) {
      out.writeLine(read);
      ++bodyLineNumber;
      continue;
    }
    escapeAngleBracketsInto(read, body.current);
    ++bodyLineNumber;
    const Text& current = body.current;
    toLowerAsciiInto(current, body.lowered);
    const TextView lowered = body.lowered;

    // Web link before file link: a line with both links its first "http".
    size_t marker = lowered.find("http");
    if (marker == TextView::npos) marker = lowered.find("file:///");
    if (marker != TextView::npos) {
      linkFirstAddressInto(current, static_cast<int64_t>(marker) + 1, body.output);
      out.writeLine(body.output);
      continue;
    }

    const TextView loweredText = trimLeadingBlanks(lowered);
    if (loweredText.starts_with("look_at:")) {
      // Only blanks stand before the marker, so its first occurrence is right after them.
      body.output.assign(current, 0, lowered.size() - loweredText.size());
      body.output.append("look_at: ");
      const TextView reference = sliceText(trimBlanks(current), 10, -1);
      if (const ChapterRow* row = findFirstRow(table, byNewNumber, reference)) {
        appendReferenceLink(body.output, row->newNumber);
        out.writeLine(body.output);
        continue;
      }
      // No chapter bears the number: the heading rule may still write the line; if it
      // does not, the line is written as it stands rather than left out of the page.
    } else if (loweredText.starts_with("table_start:")) {
      writeTableBlock(current, page, out, baseName, bodyLineNumber);
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
