#include "run/run_flow.h"

#include "chapters/chapter_headings.h"
#include "chapters/chapter_list.h"
#include "chapters/renumber.h"
#include "html/html_page.h"
#include "indent/indented_text.h"
#include "run/console.h"
#include "run/home_page.h"
#include "run/identity.h"
#include "run/input_selection.h"
#include "run/process.h"
#include "run/waits.h"

namespace doc {

namespace {

void startRun() { runCommand("chcp"); }

void showBanner(TextView displayName) {
  printLine("==========================================");
  printLine("STRUCTURING (INDENTING) THE *.TXT DOCUMENT");
  printLine();
  printText("Program name:");
  printLine(displayName);
}

[[noreturn]] void showEndScreen(const RunSettings& settings) {
  printLine();
  printLine("===================================");
  printText("Output file: ");
  printLine(settings.baseName + "_indent.htm");
  printLine();
  printText("Program info: ");
  printLine(homePageWithoutScheme());
  printLine();
  waitForOne();
}

}  // namespace

void runProgram() {
  startRun();
  RunSettings settings;
  const Text displayName = identifyProgram(settings);
  showBanner(displayName);
  checkEnvironment();
  selectInput(settings);

  ChapterTable table;
  table.rows.resize(static_cast<size_t>(countChapterHeadings(settings)));
  collectChapterHeadings(settings, table);
  splitNumber(table);
  renumberChapters(table);
  listChapters(settings, table);

  writeIndentedText(settings, table);
  writeHtmlPage(settings, table);
  showEndScreen(settings);
}

}  // namespace doc
