#include "chapters/chapter_list.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "chapter_fixture.h"

namespace doc {
namespace {

class ChapterListTest : public ChapterFixture {};

const Text kRule = "====================\r\n";

TEST_F(ChapterListTest, ConsoleAndFileOfADocument) {
  const ChapterTable table = analyse({"Title", "1. Introduction", "1.1 Scope", "2. Next"});
  EXPECT_EQ(console_, kRule + "1." + blanks(12) +
                          "1.\r\n"
                          "1.1." +
                          blanks(10) +
                          "1.1\r\n"
                          "2." +
                          blanks(12) + "2.\r\n");
  EXPECT_EQ(readFile("doc_chapters.txt"),
            "1.  2  2  1.  1    \r\n  \r\n"
            "1.1.  3  4  1.1  1  1    \r\n  \r\n"
            "2.  4  2  2.  2    \r\n  \r\n");
  EXPECT_EQ(table.rows[1].indentWidth, 4);
}

// Column 1 is followed by blanks up to the next print zone of 14 characters.
TEST_F(ChapterListTest, PrintZones) {
  analyse({"1. a", "1.1.1.1.1.1.1. b", "1.1.1.1.1.11. c", "1.1.1.1.1.1.1.1.1.1.1.1.1.1. d"});
  EXPECT_EQ(console_, kRule + "1." + blanks(12) +
                          "1.\r\n"
                          "1.1.1.1.1.1.1." +
                          blanks(14) +
                          "1.1\r\n"
                          "1.1.1.1.1.11." +
                          blanks(1) +
                          "1.2\r\n"
                          "1.1.1.1.1.1.1.1.1.1.1.1.1.1." +
                          blanks(14) + "1.2.1\r\n");
}

TEST_F(ChapterListTest, ChapterWithoutComponentsAndGaps) {
  std::vector<Text> lines{"1..2. First", "", "", "", "", "", "1.1. Higher than nothing"};
  const ChapterTable table = analyse(lines);
  EXPECT_EQ(console_, kRule + "1..2." + blanks(9) + "1.\r\n" + "1.1." + blanks(10) + "\r\n");
  EXPECT_EQ(readFile("doc_chapters.txt"),
            "1..2.  1  2  1.  1  2    \r\n  \r\n"
            "1.1.  7  0    \r\n  \r\n");
  EXPECT_EQ(table.rows[1].indentWidth, 0);
  EXPECT_EQ(table.rows[1].newNumber, "");
}

// Every heading was passed over: the list is only the rule, and the file is empty.
TEST_F(ChapterListTest, NoRowsStored) {
  writeFile("doc_chapters.txt", "left from an earlier run\r\n");
  const ChapterTable table = analyse({"2000. Year", "2015.3. Later"});
  EXPECT_EQ(table.chapterCount, 0);
  EXPECT_EQ(console_, kRule);
  ASSERT_TRUE(fileExists("doc_chapters.txt"));
  EXPECT_EQ(readFile("doc_chapters.txt"), "");
}

TEST_F(ChapterListTest, FileNameFromTheInputName) {
  const std::pair<Text, Text> cases[] = {
      {"Report.TXT", "Report_chapters.txt"},
      {"notes.txt.old.txt", "notes_chapters.txt"},
      {"readme", "readme_chapters.txt"},
      {"a.Txt.b", "a_chapters.txt"},
  };
  for (const auto& [input, list] : cases) {
    settings_.inputFileName = input;
    settings_.baseName = "unused";
    analyse({"1. a"});
    EXPECT_TRUE(fileExists(list)) << input;
    EXPECT_EQ(readFile(list), "1.  1  2  1.  1    \r\n  \r\n") << input;
  }
}

TEST_F(ChapterListTest, IndentWidthIsIncrementTimesLevel) {
  settings_.indentIncrement = 3;
  const ChapterTable table = analyse({"1. a", "1.1. b", "1.1.1. c", "1.1.1.1. d", "2. e"});
  std::vector<int64_t> widths;
  for (int64_t r = 0; r < table.chapterCount; ++r)
    widths.push_back(table.rows[static_cast<size_t>(r)].indentWidth);
  EXPECT_EQ(widths, (std::vector<int64_t>{3, 6, 9, 12, 3}));
  EXPECT_EQ(newNumbers(table), (std::vector<Text>{"1.", "1.1", "1.1.1", "1.1.1.1", "2."}));
}

// A list file that cannot be created changes nothing else.
TEST_F(ChapterListTest, UnwritableListFile) {
  std::filesystem::create_directory("doc_chapters.txt");
  const ChapterTable table = analyse({"1. a", "1.1. b"});
  EXPECT_EQ(console_, kRule + "1." + blanks(12) + "1.\r\n" + "1.1." + blanks(10) + "1.1\r\n");
  EXPECT_EQ(table.rows[1].newNumber, "1.1");
  EXPECT_TRUE(std::filesystem::is_directory("doc_chapters.txt"));
}

// Only the chapter list of the first 26 components: surplus parts of a long written number
// do not reach the file.
TEST_F(ChapterListTest, LongWrittenNumberInTheFile) {
  Text written;
  for (int k = 1; k <= 28; ++k) written += intToText(k) + ".";
  analyse({written + " a"});
  Text line = written + "  1  52  ";
  Text number;
  for (int k = 1; k <= 26; ++k) number += intToText(k) + (k < 26 ? "." : "");
  line += number + "  ";
  for (int k = 1; k <= 26; ++k) line += intToText(k) + "  ";
  EXPECT_EQ(readFile("doc_chapters.txt"), line + "  \r\n  \r\n");
}

}  // namespace
}  // namespace doc
