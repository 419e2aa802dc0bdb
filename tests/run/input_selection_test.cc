#include "run/input_selection.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <limits>

#include "run/console.h"
#include "run/process.h"
#include "temp_folder.h"

namespace doc {
namespace {

TEST(BaseNameTest, UpToTheFirstTxtInAnyCase) {
  struct Case {
    Text name;
    Text base;
  };
  const Case cases[] = {
      {"report.txt", "report"},
      {"Report.TXT", "Report"},
      {"a.txt.txt", "a"},
      {"x.txtfile.txt", "x"},
      {"my notes.TxT", "my notes"},
      {"notes", "notes"},
      {"notes.tx", "notes.tx"},
      {".txt", ""},
      {"", ""},
      {"\xC4rger.txt", "\xC4rger"},
      {"check_01.txt", "check_01"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(baseNameOf(c.name), c.base);
  }
}

// The answers go through the console's own item rules, so numbers that do not fit 32 bits
// arrive as they would from the keyboard.
TEST(IndentIncrementTest, EveryTypedAnswerGivesASoundStep) {
  struct Case {
    Text typed;
    int32_t step;
  };
  const Case cases[] = {
      {"", 2},
      {"   ", 2},
      {"abc", 2},
      {"0", 2},
      {"-3", 2},
      {"1", 1},
      {"3", 3},
      {"3x", 3},
      {"2.6", 3},
      {"1000", 1000},
      {"1001", 1000},
      {"2147483647", 1000},
      {"99999999999", 2},
      {"-99999999999", 2},
      {"&HFFFFFFFF", 2},
      {"&H7FFFFFFF", 1000},
      {"&HFFFFFFFFFF", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    EXPECT_EQ(indentIncrementFrom(integerItem(c.typed)), c.step);
  }
  EXPECT_EQ(indentIncrementFrom(std::numeric_limits<int32_t>::min()), 2);
  // The widest indentation, 26 levels, stays far inside 32 bits.
  EXPECT_LT(int64_t{26} * kMaxIndentIncrement, int64_t{std::numeric_limits<int32_t>::max()});
}

TEST(LineNumberTest, OnlyListedLinesAreChosen) {
  struct Case {
    Text typed;
    int64_t listed;
    bool chosen;
  };
  const Case cases[] = {
      {"1", 3, true},
      {"3", 3, true},
      {"2.6", 3, true},  // rounds to 3
      {"2.5", 3, true},  // rounds to 2
      {"&H3", 3, true},
      {"4", 3, false},
      {"0", 3, false},
      {"-1", 3, false},
      {"", 3, false},
      {"abc", 3, false},
      {"1", 0, false},
      {"99999999999", 3, false},
      {"-99999999999", 3, false},
      {"&HFFFFFFFFFF", 3, false},
      {"&HFFFFFFFF", 3, false},
      {"2147483647", 3, false},
      {"2147483647", int64_t{3000000000}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed + " of " + std::to_string(c.listed));
    EXPECT_EQ(isListedLineNumber(integerItem(c.typed), c.listed), c.chosen);
  }
}

class FilledLinesTest : public ::testing::Test {
 protected:
  TempFolder folder_;
};

TEST_F(FilledLinesTest, BlankLinesDoNotCountTabsDo) {
  writeFile("list.txt", "\r\n   \r\n\t\r\na\r\n  b\n\nlast");
  EXPECT_EQ(countFilledLines("list.txt"), 4);
  writeFile("empty.txt", "");
  EXPECT_EQ(countFilledLines("empty.txt"), 0);
}

TEST_F(FilledLinesTest, UnreadableFilesCountNothing) {
  EXPECT_EQ(countFilledLines("missing.txt"), 0);
  std::filesystem::create_directory("folder.txt");
  EXPECT_EQ(countFilledLines("folder.txt"), 0);
  writeFile("locked.txt", "a\r\nb\r\n");
  chmod("locked.txt", 0);
  if (geteuid() != 0) {  // the superuser reads it all the same
    EXPECT_EQ(countFilledLines("locked.txt"), 0);
  }
}

TEST(CommandWordTest, CopyLineForPlainFilesOnly) {
  TempFolder folder;
  writeFile("my notes.txt", "");
  std::filesystem::create_directory("folder.txt");
  EXPECT_EQ(copyCommandLine("report.txt"), "copy report.txt sour_in.txt > out.list");
  EXPECT_EQ(copyCommandLine("my notes.txt"), "copy my notes.txt sour_in.txt > out.list");
  EXPECT_EQ(copyCommandLine("folder.txt"), "");
  EXPECT_EQ(copyCommandLine("a & del x.txt"), "");
  EXPECT_EQ(copyCommandLine(""), "");
}

TEST(CommandWordTest, OnlyPlainNamesReachTheInterpreter) {
  const Text plain[] = {
      "notes.txt",   "Report_2.TXT", "my notes.txt", "a+b.txt",
      "x,y=z;w.txt", "caf\xE9.txt",  "it's.txt",     "v1.2-final~1.txt", "report(1).txt",
  };
  for (const Text& name : plain) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(isPlainCommandWord(name));
  }
  const Text special[] = {
      "",
      "a & del /q *.txt",
      "a&b.txt",
      "a|b.txt",
      "a>b.txt",
      "a<b.txt",
      "a^b.txt",
      "%PATH%.txt",
      "a!x!.txt",
      "\"q\".txt",
      "*.txt",
      "a?.txt",
      "..\\up.txt",
      "sub/x.txt",
      "C:x.txt",
      Text("a\rb.txt"),
      Text("a\0b.txt", 7),
      "a\x7F.txt",
  };
  for (const Text& name : special) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(isPlainCommandWord(name));
  }
}

// The checks and the selection run in a child process with the answers as typed input,
// so that the waits that end the run end the child only; the console bytes and the
// settings are left in files of the folder.
class SelectionDeathTest : public ::testing::Test {
 protected:
  void runSelection(const Text& answers) {
    writeFile("answers.in", answers);
    EXPECT_EXIT(
        {
          const int in = open("answers.in", O_RDONLY);
          const int out = open("console.out", O_WRONLY | O_CREAT | O_TRUNC, 0600);
          dup2(in, 0);
          dup2(out, 1);
          setConsoleSink(nullptr);
          RunSettings settings;
          checkEnvironment();
          selectInput(settings);
          flushConsole();
          writeFile("settings.out", settings.inputFileName + "|" + settings.baseName + "|" +
                                        std::to_string(settings.indentIncrement) + "|" +
                                        (settings.tocWanted ? "toc" : "no toc"));
          std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
  }

  TempFolder folder_;
};

TEST_F(SelectionDeathTest, DialogueOfACompleteSelection) {
  writeFile("report.txt", "1. One\r\n");
  writeFile("old_INDENT.txt", "");
  writeFile("notes.md", "");
  runSelection("4\n3\nno\n");

  EXPECT_EQ(readFile("settings.out"), "report.txt|report|3|toc");
  EXPECT_EQ(readFile("sour_in.txt"), "1. One\r\n");
  const Text rule = "------------------------------\r\n";
  EXPECT_EQ(readFile("console.out"),
            "\r\n"
            "-----------------------------------------------------\r\n"
            "Checking the availability of some essential programs:\r\n"
            "cmd.exe, find.exe\r\n"
            "\r\n"
            "cmd\r\n"
            "find\r\n"
            "\r\n" +
                rule +
                " 1 check_01.txt\r\n"
                " 2 check_02.txt\r\n"
                " 3 dir_a_01.txt\r\n"
                " 4 report.txt\r\n" +
                rule +
                "\r\n"
                "select file with line number = ? \r\n"
                "\r\n"
                "indent increment (<enter> default = 2) = ? \r\n"
                "\r\n"
                "select option for TOC (table of content) in HTML file\r\n"
                "<enter> without TOC, <...> any other key includes TOC = ? \r\n"
                "\r\n"
                "input file: report.txt\r\n");
}

// Numbers that do not fit 32 bits fall out of range like any other bad line number.
TEST_F(SelectionDeathTest, NumbersBeyond32BitsAreOutOfRange) {
  for (const Text typed : {"99999999999", "-99999999999", "&HFFFFFFFFFF", "&HFFFFFFFF"}) {
    SCOPED_TRACE(typed);
    runSelection(typed + "\n");
    const Text console = readFile("console.out");
    const Text tail = "line number is out of range\r\n\r\n<...> any key for continue, end\r\n";
    ASSERT_GE(console.size(), tail.size());
    EXPECT_EQ(console.substr(console.size() - tail.size()), tail);
    EXPECT_FALSE(fileExists("settings.out"));
  }
}

// A name holding bytes that the command interpreter would act on is chosen as it is and
// the run goes on with it, but it never reaches the copy command.
TEST_F(SelectionDeathTest, SpecialNamesAreNotCopied) {
  struct Case {
    Text name;
    Text answers;
    Text settings;
  };
  const Case cases[] = {
      {"a&del.txt", "1\n5000\n\"\"\n", "a&del.txt|a&del|1000|no toc"},
      {"a%x%.txt", "1\n-1\n,x\n", "a%x%.txt|a%x%|2|no toc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder inner;
    writeFile(c.name, "1. One\r\n");
    runSelection(c.answers);
    EXPECT_EQ(readFile("settings.out"), c.settings);
    EXPECT_FALSE(fileExists("sour_in.txt"));
    EXPECT_FALSE(fileExists("out.list"));
  }
}

// A name with a blank is handed over unchanged: the copy sees two words and fails, and the
// run keeps the full name.
TEST_F(SelectionDeathTest, NameWithABlankKeepsItsFullName) {
  writeFile("a b.txt", "1. One\r\n");
  runSelection("1\n\ny\n");
  EXPECT_EQ(readFile("settings.out"), "a b.txt|a b|2|toc");
  EXPECT_FALSE(fileExists("sour_in.txt"));
  EXPECT_TRUE(fileExists("out.list"));
}

// A folder where a check file should be leaves the check without lines: the message shows
// and the run ends in the wait.
TEST_F(SelectionDeathTest, CheckFileThatIsAFolderEndsTheRun) {
  struct Case {
    Text folder;
    Text message;
  };
  const Case cases[] = {
      {"check_01.txt",
       "Checking for cmd.exe\r\n"
       "It is probably necessary to set the system path to the program.\r\n"},
      {"check_02.txt",
       "Checking for find.exe\r\n"
       "You probably need to set the system path to the program.\r\n"
       "Or there are no txt files here.\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    TempFolder inner;
    std::filesystem::create_directory(c.folder);
    runSelection("1\n");
    const Text console = readFile("console.out");
    EXPECT_NE(console.find(c.message + "<1> = continue and end\r\n"), Text::npos) << console;
    EXPECT_FALSE(fileExists("settings.out"));
  }
}

}  // namespace
}  // namespace doc
