// The environment check and the dialogue that chooses the document.
#include "run/input_selection.h"

#include <sys/stat.h>

#include "run/console.h"
#include "run/line_file.h"
#include "run/process.h"
#include "run/waits.h"

namespace doc {

namespace {

constexpr TextView kListFileName = "dir_a_01.txt";
constexpr TextView kListRule = "------------------------------";

}  // namespace

int32_t indentIncrementFrom(int32_t entered) {
  if (entered < 1) return kDefaultIndentIncrement;
  return entered > kMaxIndentIncrement ? kMaxIndentIncrement : entered;
}

bool isListedLineNumber(int32_t selected, int64_t listedFileCount) {
  return selected >= 1 && selected <= listedFileCount;
}

int64_t countFilledLines(const Text& fileName) {
  LineReader reader(fileName);
  int64_t count = 0;
  while (!reader.atEnd()) {
    if (!trimLeadingBlanks(reader.readLine()).empty()) ++count;
  }
  reader.close();
  return count;
}

Text copyCommandLine(const Text& inputFileName) {
  if (!isPlainCommandWord(inputFileName)) return {};
  // The interpreter would copy the files inside a folder instead.
  struct stat info {};
  if (stat(inputFileName.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return {};
  return "copy " + inputFileName + " sour_in.txt > out.list";
}

bool isPlainCommandWord(TextView name) {
  // Redirection, chaining, escapes, variables, quoting, wildcards, and the folder and
  // drive separators that would reach beyond the current folder. Parentheses group only
  // inside a block, so "report(1).txt" is copied like any other name.
  constexpr TextView kSpecial = "\"%!&|<>^*?/\\:";
  if (name.empty()) return false;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte == 127 || kSpecial.find(c) != TextView::npos) return false;
  }
  return true;
}

void checkEnvironment() {
  printLine();
  printLine("-----------------------------------------------------");
  printLine("Checking the availability of some essential programs:");
  printLine("cmd.exe, find.exe");
  printLine();

  printLine("cmd");
  runCommand("cmd /c dir /b  > check_01.txt");
  if (countFilledLines("check_01.txt") == 0) {
    printLine("Checking for cmd.exe");
    printLine("It is probably necessary to set the system path to the program.");
    waitForOne();
  }

  printLine("find");
  runCommand("dir > check_01.txt");
  runCommand("del /q check_*.txt");
  runCommand("dir  > check_01.txt");
  runCommand("find /i \".txt\" check_01.txt > check_02.txt");
  if (countFilledLines("check_02.txt") < 2) {
    printLine("Checking for find.exe");
    printLine("You probably need to set the system path to the program.");
    printLine("Or there are no txt files here.");
    waitForOne();
  }
}

void selectInput(RunSettings& settings) {
  runCommand("dir /b *.txt | find /i /v \"indent\" > dir_a_01.txt");
  printLine();
  printLine(kListRule);

  // The list is read twice, once to show it and once to take the chosen line, so no more
  // than one name is held at a time however long the list is.
  LineReader list{Text(kListFileName)};
  int64_t listedFileCount = 0;
  while (!list.atEnd()) {
    const TextView name = list.readLine();
    ++listedFileCount;
    printNumber(listedFileCount);
    printText(blanks(1));
    printLine(name);
  }
  printLine(kListRule);
  printLine();

  // Any 32-bit answer is sound here: numbers too large for 32 bits arrive as the lowest
  // value and so fall out of range.
  const int32_t selected = readInteger("select file with line number = ");
  if (!isListedLineNumber(selected, listedFileCount)) {
    printLine("line number is out of range");
    printLine();
    waitAnyKeyEnd();
  }

  printLine();
  settings.indentIncrement =
      indentIncrementFrom(readInteger("indent increment (<enter> default = 2) = "));

  printLine();
  printLine("select option for TOC (table of content) in HTML file");
  settings.tocWanted =
      !readText("<enter> without TOC, <...> any other key includes TOC = ").empty();

  list.rewind();
  int64_t lineNumber = 0;
  while (!list.atEnd()) {
    const TextView name = list.readLine();
    ++lineNumber;
    if (lineNumber == selected) {
      settings.inputFileName = Text(name);
      printLine();
      printText("input file: ");
      printLine(name);
    }
  }
  list.close();

  // Nothing later reads the copy, so a name that is not handed over is left as a copy that
  // failed would be: unnoticed.
  const Text copyLine = copyCommandLine(settings.inputFileName);
  if (!copyLine.empty()) runCommand(copyLine);
  settings.baseName = baseNameOf(settings.inputFileName);
}

}  // namespace doc
