// Fuzz target: one document through the whole processing, from arbitrary bytes to the four
// result files. The first byte chooses the indentation step, the second whether a table
// of contents is wanted; the rest is the document.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "chapters/chapter_headings.h"
#include "chapters/chapter_list.h"
#include "chapters/renumber.h"
#include "html/html_page.h"
#include "indent/indented_text.h"
#include "run/console.h"
#include "fuzz_folder.h"
#include "run/line_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  doc::enterFuzzFolder();
  static doc::Text console;
  doc::setConsoleSink(&console);
  console.clear();

  doc::RunSettings settings;
  settings.inputFileName = "doc.txt";
  settings.baseName = "doc";
  settings.indentIncrement = 1 + data[0] % 8;
  settings.tocWanted = (data[1] & 1) != 0;
  {
    std::ofstream out("doc.txt", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data + 2), static_cast<std::streamsize>(size - 2));
  }

  // A document without headings ends the run in a wait; count them here instead.
  int64_t headings = 0;
  {
    doc::LineReader reader(settings.inputFileName);
    while (!reader.atEnd())
      if (doc::isChapterHeading(doc::trimBlanks(reader.readLine()))) ++headings;
  }
  if (headings == 0) return 0;
  if (doc::countChapterHeadings(settings) != headings) std::abort();

  doc::ChapterTable table;
  table.rows.resize(static_cast<size_t>(headings));
  doc::collectChapterHeadings(settings, table);
  doc::splitNumber(table);
  doc::renumberChapters(table);
  doc::listChapters(settings, table);
  doc::writeIndentedText(settings, table);
  doc::writeHtmlPage(settings, table);

  // The indented file keeps the document's line count.
  int64_t documentLines = 0, indentedLines = 0;
  for (doc::LineReader in("doc.txt"); !in.atEnd(); in.readLine()) ++documentLines;
  for (doc::LineReader in("doc_indent.txt"); !in.atEnd(); in.readLine()) ++indentedLines;
  if (documentLines != indentedLines) std::abort();
  return 0;
}
