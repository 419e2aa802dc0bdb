// The table work file as the table writer now handles it: written over in place and cut to
// length, a small block read back from the copy kept in memory, a large one from the file.
// Both ways must give the same page, and the file must hold exactly the last block.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "html/html_table.h"
#include "temp_folder.h"

namespace doc {
namespace {

Text crlfLines(const std::vector<Text>& lines) {
  Text text;
  for (const Text& line : lines) text += line + "\r\n";
  return text;
}

struct BlockResult {
  Text page;
  Text workFile;
  int64_t lineNumber = 0;
  Text nextLine;
};

// Hands startLine to the table writer with `rest` as the indented file's lines after it.
BlockResult runBlock(TextView startLine, const Text& rest) {
  writeFile("rep_indent.txt", rest);
  LineReader page("rep_indent.txt");
  LineWriter out("rep_indent.htm");
  BlockResult result;
  result.lineNumber = 1;
  writeTableBlock(startLine, page, out, "rep", result.lineNumber);
  out.close();
  result.nextLine = Text(page.readLine());
  result.page = readFile("rep_indent.htm");
  result.workFile = readFile("rep_table.txt");
  return result;
}

class TableWorkFileTest : public ::testing::Test {
 private:
  TempFolder folder_;
};

// Lines before the first column line are left out of the table, so a block padded with
// more than a megabyte of them is read back from the file and must give the same page as
// the same block read back from its kept copy.
TEST_F(TableWorkFileTest, LargeAndSmallBlocksGiveTheSamePage) {
  const std::vector<std::vector<Text>> blocks = {
      {"column: A", "a1", "a2", "column: B", "align: Right", "b1", "table_end:"},
      {"column: A", "a1", "a2", "column: B", "b1", "b2", "b3"},  // no end line
      {"column: A", "a1", "column: B"},                          // column line last
      {"column: A", "column: B", "x", "align: c", "table_end:"},
      {"text only", "table_end:"},
      {"column: Long", Text(70000, 'x'), Text(3, 'y'), Text(140000, 'z') + "\r", "table_end:"},
  };
  const std::vector<Text> padding(1100, Text(1000, 'p'));
  for (size_t i = 0; i < blocks.size(); ++i) {
    const Text after = "after the table\r\n";
    const BlockResult small = runBlock("table_start: T", crlfLines(blocks[i]) + after);
    std::vector<Text> padded = padding;
    padded.insert(padded.end(), blocks[i].begin(), blocks[i].end());
    const BlockResult large = runBlock("table_start: T", crlfLines(padded) + after);
    EXPECT_TRUE(small.page == large.page) << "block " << i;
    // A block without an end line runs on to the end of the document.
    const Text rest = blocks[i].back() == "table_end:" ? "" : after;
    EXPECT_TRUE(large.workFile == "table_start: T\r\n" + crlfLines(padded) + rest) << i;
    EXPECT_TRUE(small.workFile == "table_start: T\r\n" + crlfLines(blocks[i]) + rest) << i;
    EXPECT_EQ(large.lineNumber, small.lineNumber + static_cast<int64_t>(padding.size()));
    EXPECT_EQ(small.nextLine, large.nextLine);
  }
}

TEST_F(TableWorkFileTest, LongCellsOfManyColumnsComeBackWholeFromTheFile) {
  std::vector<Text> block;
  std::vector<Text> expected = {"<tr>"};
  for (int j = 0; j < 8; ++j) {
    block.push_back("column: H" + std::to_string(j));
    expected.push_back("<th>H" + std::to_string(j) + "</th>");
    block.push_back(Text(200000 + static_cast<size_t>(j), static_cast<char>('a' + j)));
  }
  block.push_back("table_end:");
  expected.push_back("</tr>");
  expected.push_back("<tr>");
  for (int j = 0; j < 8; ++j)
    expected.push_back("<td>" + block[2 * static_cast<size_t>(j) + 1] + "</td>");
  expected.push_back("</tr>");
  const BlockResult result = runBlock("table_start:", crlfLines(block));
  const Text tag = "<table style=\"font-size:100%\" table align=\"center\" border=\"1\">";
  EXPECT_TRUE(result.page == crlfLines({tag}) + crlfLines(expected) + " </table>\r\n");
}

TEST_F(TableWorkFileTest, LongerFileFromBeforeIsCutToTheBlock) {
  writeFile("rep_table.txt", Text(50000, 'o') + "\r\ncolumn: old\r\nold cell\r\n");
  const BlockResult result =
      runBlock("table_start: New", crlfLines({"column: c", "v", "table_end:"}));
  EXPECT_EQ(result.workFile, crlfLines({"table_start: New", "column: c", "v", "table_end:"}));
  EXPECT_EQ(result.page.find("old"), Text::npos);
}

TEST_F(TableWorkFileTest, ReadOnlyFileFromBeforeIsReplaced) {
  writeFile("rep_table.txt", "old\r\n");
  ASSERT_EQ(chmod("rep_table.txt", 0444), 0);
  const BlockResult result = runBlock("table_start:", crlfLines({"column: c", "v", "table_end:"}));
  EXPECT_EQ(result.workFile, crlfLines({"table_start:", "column: c", "v", "table_end:"}));
  EXPECT_NE(result.page.find("<td>v</td>"), Text::npos);
}

// A link named like the work file is replaced by a file of its own; what it pointed to is
// left alone.
TEST_F(TableWorkFileTest, LinkNamedLikeTheWorkFileIsReplacedAndItsTargetKept) {
  writeFile("target.txt", "keep me\r\n");
  std::filesystem::create_symlink("target.txt", "rep_table.txt");
  const BlockResult result = runBlock("table_start:", crlfLines({"column: c", "v", "table_end:"}));
  EXPECT_FALSE(std::filesystem::is_symlink("rep_table.txt"));
  EXPECT_EQ(result.workFile, crlfLines({"table_start:", "column: c", "v", "table_end:"}));
  EXPECT_EQ(readFile("target.txt"), "keep me\r\n");
}

}  // namespace
}  // namespace doc
