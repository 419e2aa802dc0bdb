// The page frame: the console lines that announce the page, the fixed opening and closing
// lines, and the two passes over the indented file through one reader, rewound between
// them. The opening and closing lines are the page's fixed form and are written as they
// stand, odd doctype, doubled body tag and all.
#include "html/html_page.h"

#include "html/body_lines.h"
#include "html/table_of_contents.h"
#include "run/console.h"
#include "run/line_file.h"
#include "run/home_page.h"

namespace doc {

namespace {

constexpr TextView kHeadLines[] = {
    // One line, split in two here only for its length.
    "<!DOCTYPE HTML=HTML PUBLIC=PUBLIC \"-//W3C//DTD HTML 4.0 TRANSITIONAL//EN\"="  // NOLINT(bugprone-suspicious-missing-comma)
    "\"-//W3C//DTD HTML 4.0 Transitional//EN\">",
    "<html>",
    "<head>",
    "<br>",
    "<meta HTTP-EQUIV=\"content-type\" CONTENT=\"text/html; charset= UTF-8\">",
    "<br>",
    "<br>",
    "</head>",
    "<body>",
    "<body>",
    "<br> <b> PROMOTE YOUR BRAND WITH OUR PROGRAM </b>",
    "<br>",
    "<br>",
    "<br> This space is reserved for your advertising message and web links.",
    "<br> The advertising message is limited to 10 lines or 500 characters.",
    "<br> The program is tailored individually for each client.",
    "<br>",
};

constexpr TextView kProgramBlockLines[] = {
    "<br>", "<br>", "<br>", "<b> MARGOLAN </b>", "<br>",
};

constexpr TextView kLinkBlockLines[] = {
    "<br>",
    "<br>",
    "Useful link :",
    "<br>",
};

constexpr TextView kTextStartLines[] = {
    "<br>",
    "<br>",
    "<pre>",
    "<p style=\"font-family:Arial; font-size:100%;\">",
};

constexpr TextView kClosingLines[] = {
    "</>", "<br>", "<br>", "</body>", "</html>",
};

template <size_t N>
void writeLines(LineWriter& out, const TextView (&lines)[N]) {
  for (TextView line : lines) out.writeLine(line);
}

// `<a href="ADDRESS">ADDRESS</a>` with the address as it is, unescaped.
Text linkTo(TextView address) {
  Text link = "<a href=\"";
  link += address;
  link += "\">";
  link += address;
  link += "</a>";
  return link;
}

void writeOpeningLines(LineWriter& out, const RunSettings& settings) {
  writeLines(out, kHeadLines);
  out.writeLine("<br> More info: " + linkTo(homePageAddress));
  writeLines(out, kProgramBlockLines);
  out.writeLine("This document was created using program: " + settings.programFileName);
  writeLines(out, kLinkBlockLines);
  out.writeLine(linkTo(settings.siteLink));
  writeLines(out, kTextStartLines);
}

}  // namespace

void writeHtmlPage(const RunSettings& settings, const ChapterTable& table) {
  const Text indentedFileName = settings.baseName + "_indent.txt";
  const Text pageFileName = settings.baseName + "_indent.htm";

  // Continues the list of output files that the indented text began.
  printLine(pageFileName);
  printLine();
  printLine("Info: " + Text(homePageHost()));

  LineReader page(indentedFileName);
  LineWriter out(pageFileName);

  writeOpeningLines(out, settings);
  if (settings.tocWanted) writeTableOfContents(page, out, table);
  // The contents pass leaves the reader at the end; the body reads from the first line.
  page.rewind();
  writeBodyLines(page, out, table, settings.baseName);
  writeLines(out, kClosingLines);

  page.close();
  out.close();
}

}  // namespace doc
