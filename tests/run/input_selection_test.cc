#include "run/input_selection.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <limits>

#include "run/console.h"
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

TEST(CommandWordTest, OnlyPlainNamesReachTheInterpreter) {
  const Text plain[] = {
      "notes.txt",   "Report_2.TXT", "my notes.txt", "a+b.txt",
      "x,y=z;w.txt", "caf\xE9.txt",  "it's.txt",     "v1.2-final~1.txt",
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
      "report(1).txt",
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

}  // namespace
}  // namespace doc
