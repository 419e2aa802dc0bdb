#include "html/html_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "chapter_rows.h"
#include "temp_folder.h"

namespace doc {
namespace {

constexpr const char* kTag = "<table style=\"font-size:100%\" table align=\"center\" border=\"1\">";

struct BlockRun {
  Text page;           // what the table writer wrote
  Text workFile;       // rep_table.txt afterwards
  int64_t lineNumber;  // bodyLineNumber afterwards
  bool readerAtEnd;    // whether the page reader was left at its end
  Text nextLine;       // the line it reads next
};

// Each test runs in a fresh folder of its own.
class HtmlTableTest : public ::testing::Test {
 protected:
  // Hands startLine to the table writer with `rest` as the indented file's lines after it.
  static BlockRun runBlock(TextView startLine, const Text& rest, int64_t lineNumber = 1) {
    writeFile("rep_indent.txt", rest);
    LineReader page("rep_indent.txt");
    LineWriter out("rep_indent.htm");
    BlockRun run;
    run.lineNumber = lineNumber;
    writeTableBlock(startLine, page, out, "rep", run.lineNumber);
    out.close();
    run.readerAtEnd = page.atEnd();
    run.nextLine = Text(page.readLine());
    run.page = readFile("rep_indent.htm");
    run.workFile = readFile("rep_table.txt");
    return run;
  }

 private:
  TempFolder folder_;
};

TEST_F(HtmlTableTest, ExampleBlockGivesOneTableAndItsWorkFile) {
  const Text block = crlf({"column: Item", "apple", "pear", "column: Size", "align: Right", "large",
                           "small", "table_end:"});
  const BlockRun run = runBlock("table_start: Fruit", block + "after the table\r\n", 5);
  EXPECT_EQ(run.page, crlf({kTag, "<caption><b>Fruit</b></caption>", "<tr>", "<th>Item</th>",
                            "<th>Size</th>", "</tr>", "<tr>", "<td>apple</td>",
                            "<td align=\"right\">large</td>", "</tr>", "<tr>", "<td>pear</td>",
                            "<td align=\"right\">small</td>", "</tr>", " </table>"}));
  EXPECT_EQ(run.workFile, "table_start: Fruit\r\n" + block);
  // Nine lines in all; the start line had been counted before the call.
  EXPECT_EQ(run.lineNumber, 13);
  EXPECT_FALSE(run.readerAtEnd);
  EXPECT_EQ(run.nextLine, "after the table");
}

struct TableCase {
  const char* what;
  Text startLine;
  std::vector<Text> block;  // the lines after the start line, the end line included
  std::vector<Text> page;   // the table's lines between the tag and " </table>"
};

TEST_F(HtmlTableTest, BlockShapes) {
  const std::vector<TableCase> cases = {
      {"no column line: caption only",
       "table_start: Cap",
       {"x", "y", "table_end:"},
       {"<caption><b>Cap</b></caption>"}},
      {"empty caption gives no caption line",
       "table_start:",
       {"column: A", "1", "table_end:"},
       {"<tr>", "<th>A</th>", "</tr>", "<tr>", "<td>1</td>", "</tr>"}},
      {"caption right after the colon loses its first character",
       "table_start:Cap",
       {"table_end:"},
       {"<caption><b>ap</b></caption>"}},
      {"short column gets plain empty cells, alignment lowered",
       "table_start:",
       {"column: A", "a1", "a2", "a3", "column: B", "align: Center", "b1", "table_end:"},
       {"<tr>", "<th>A</th>", "<th>B</th>", "</tr>",                     //
        "<tr>", "<td>a1</td>", "<td align=\"center\">b1</td>", "</tr>",  //
        "<tr>", "<td>a2</td>", "<td></td>", "</tr>",                     //
        "<tr>", "<td>a3</td>", "<td></td>", "</tr>"}},
      {"no header row when every header is empty",
       "table_start:",
       {"column:", "x", "column: ", "y", "table_end:"},
       {"<tr>", "<td>x</td>", "<td>y</td>", "</tr>"}},
      {"one header is enough for the header row",
       "table_start:",
       {"column:", "x", "column: B", "y", "table_end:"},
       {"<tr>", "<th></th>", "<th>B</th>", "</tr>", "<tr>", "<td>x</td>", "<td>y</td>", "</tr>"}},
      {"alignment line away from the column line is a cell",
       "table_start:",
       {"column: A", "a1", "  align: left  ", "table_end:"},
       {"<tr>", "<th>A</th>", "</tr>", "<tr>", "<td>a1</td>", "</tr>", "<tr>",
        "<td>align: left</td>", "</tr>"}},
      {"second of two column lines is the first column's first cell",
       "table_start:",
       {"column: A", "column: B", "x", "table_end:"},
       {"<tr>", "<th>A</th>", "</tr>", "<tr>", "<td>column: B</td>", "</tr>", "<tr>", "<td>x</td>",
        "</tr>"}},
      {"column line right before the end line: header, no cells",
       "table_start:",
       {"column: A", "a", "column: B", "table_end:"},
       {"<tr>", "<th>A</th>", "<th>B</th>", "</tr>", "<tr>", "<td>a</td>", "<td></td>", "</tr>"}},
      {"aligned column right before the end line",
       "table_start:",
       {"column: A", "align: right", "table_end:"},
       {"<tr>", "<th>A</th>", "</tr>"}},
      {"lines before the first column line are left out",
       "table_start: T",
       {"intro", "1. Heading", "column: A", "a", "table_end:"},
       {"<caption><b>T</b></caption>", "<tr>", "<th>A</th>", "</tr>", "<tr>", "<td>a</td>",
        "</tr>"}},
      {"cells trimmed, an empty line is an empty cell",
       "table_start:",
       {"column: A", "   spaced   ", "", "\tlast", "table_end:"},
       {"<tr>", "<th>A</th>", "</tr>", "<tr>", "<td>spaced</td>", "</tr>", "<tr>", "<td></td>",
        "</tr>", "<tr>", "<td>\tlast</td>", "</tr>"}},
      {"markup in headers and cells acts, the escaped caption stays escaped",
       "table_start: a &lt; b",
       {"column: <b>H</b>", "<i>c</i>", "table_end:"},
       {"<caption><b>a &lt; b</b></caption>", "<tr>", "<th><b>H</b></th>", "</tr>", "<tr>",
        "<td><i>c</i></td>", "</tr>"}},
      {"markers in any case and with blanks around",
       "  TABLE_START: Cap  ",
       {"   COLUMN: Big", "  ALIGN: LEFT ", "x", "  Table_End:  "},
       {"<caption><b>Cap</b></caption>", "<tr>", "<th>Big</th>", "</tr>", "<tr>",
        "<td align=\"left\">x</td>", "</tr>"}},
      {"an alignment line without a value leaves the cells plain",
       "table_start:",
       {"column: A", "align:", "a", "table_end:"},
       {"<tr>", "<th>A</th>", "</tr>", "<tr>", "<td>a</td>", "</tr>"}},
      {"end line with text after the marker",
       "table_start:",
       {"column: A", "a", "table_end: of fruit"},
       {"<tr>", "<th>A</th>", "</tr>", "<tr>", "<td>a</td>", "</tr>"}},
      {"carriage returns inside and at the end of cells come back as read",
       "table_start:",
       {"column: A", "abc\r", "x\ry", "next", "column: B", "b", "table_end:"},
       {"<tr>", "<th>A</th>", "<th>B</th>", "</tr>",  //
        "<tr>", "<td>abc\r</td>", "<td>b</td>", "</tr>", "<tr>", "<td>x\ry</td>", "<td></td>",
        "</tr>", "<tr>", "<td>next</td>", "<td></td>", "</tr>"}},
  };
  for (const TableCase& c : cases) {
    std::vector<Text> expected = {kTag};
    expected.insert(expected.end(), c.page.begin(), c.page.end());
    expected.push_back(" </table>");
    const BlockRun run = runBlock(c.startLine, crlf(c.block) + "after\r\n", 10);
    EXPECT_EQ(run.page, crlf(expected)) << c.what;
    EXPECT_EQ(run.workFile, crlf({c.startLine}) + crlf(c.block)) << c.what;
    EXPECT_EQ(run.lineNumber, 10 + static_cast<int64_t>(c.block.size())) << c.what;
    EXPECT_EQ(run.nextLine, "after") << c.what;
  }
}

// Without an end line the block runs to the end of the document. Its last column's count is
// never folded into the number of rows, so the table has the rows the other columns reach
// and the last column's cells below them are left out.
TEST_F(HtmlTableTest, BlockWithoutEndLineKeepsTheRowsOfItsOtherColumns) {
  const std::vector<TableCase> cases = {
      {"last column longer than the others: its third cell has no row",
       "table_start:",
       {"column: A", "a1", "a2", "column: B", "b1", "b2", "b3"},
       {"<tr>", "<th>A</th>", "<th>B</th>", "</tr>",  //
        "<tr>", "<td>a1</td>", "<td>b1</td>", "</tr>", "<tr>", "<td>a2</td>", "<td>b2</td>",
        "</tr>"}},
      {"single column: header only",
       "table_start: Cap",
       {"column: A", "a1", "a2"},
       {"<caption><b>Cap</b></caption>", "<tr>", "<th>A</th>", "</tr>"}},
      {"column line as the document's last line: its first cell is the empty read past the end",
       "table_start:",
       {"column: A", "a1", "a2", "column: B"},
       {"<tr>", "<th>A</th>", "<th>B</th>", "</tr>", "<tr>", "<td>a1</td>", "<td></td>", "</tr>",
        "<tr>", "<td>a2</td>", "<td></td>", "</tr>"}},
      {"aligned last column, longer than the first",
       "table_start:",
       {"column: A", "a1", "column: B", "align: Right", "b1", "b2", "b3"},
       {"<tr>", "<th>A</th>", "<th>B</th>", "</tr>", "<tr>", "<td>a1</td>",
        "<td align=\"right\">b1</td>", "</tr>"}},
      {"no column line", "table_start:", {"text", "more"}, {}},
  };
  for (const TableCase& c : cases) {
    std::vector<Text> expected = {kTag};
    expected.insert(expected.end(), c.page.begin(), c.page.end());
    expected.push_back(" </table>");
    const BlockRun run = runBlock(c.startLine, crlf(c.block), 3);
    EXPECT_EQ(run.page, crlf(expected)) << c.what;
    EXPECT_EQ(run.workFile, crlf({c.startLine}) + crlf(c.block)) << c.what;
    EXPECT_EQ(run.lineNumber, 3 + static_cast<int64_t>(c.block.size())) << c.what;
    EXPECT_TRUE(run.readerAtEnd) << c.what;
  }
}

TEST_F(HtmlTableTest, WorkFileThatCannotBeMadeStillKeepsTheLineCountInStep) {
  std::filesystem::create_directory("rep_table.txt");
  const BlockRun run =
      runBlock("table_start: Cap", crlf({"column: A", "a", "table_end:", "after"}), 7);
  // Nothing comes back from the work file, so the table has no rows; the block's lines
  // were still read from the page, and the count says so.
  EXPECT_EQ(run.page, crlf({kTag, "<caption><b>Cap</b></caption>", " </table>"}));
  EXPECT_EQ(run.lineNumber, 10);
  EXPECT_EQ(run.nextLine, "after");
}

// Many columns share little window memory each, so long cells are read back in several
// pieces, a line end falling across two of them; every cell must still come back whole and
// in its place.
TEST_F(HtmlTableTest, WideBlockWithLongCellsComesBackCellForCell) {
  constexpr int kColumns = 10000;
  constexpr int kLongColumn = 4;  // 0-based
  const Text longCells[] = {Text(511, 'a'), Text(1500, 'b'), "c"};
  std::vector<Text> block;
  for (int j = 0; j < kColumns; ++j) {
    block.push_back("column: H" + std::to_string(j));
    if (j == kLongColumn) {
      block.insert(block.end(), std::begin(longCells), std::end(longCells));
    } else {
      block.push_back("cell " + std::to_string(j));
    }
  }
  block.push_back("table_end:");
  const BlockRun run = runBlock("table_start:", crlf(block));

  std::vector<Text> expected = {kTag, "<tr>"};
  for (int j = 0; j < kColumns; ++j) expected.push_back("<th>H" + std::to_string(j) + "</th>");
  expected.push_back("</tr>");
  for (int r = 0; r < 3; ++r) {
    expected.push_back("<tr>");
    for (int j = 0; j < kColumns; ++j) {
      Text cell;
      if (j == kLongColumn) {
        cell = longCells[r];
      } else if (r == 0) {
        cell = "cell " + std::to_string(j);
      }
      expected.push_back("<td>" + cell + "</td>");
    }
    expected.push_back("</tr>");
  }
  expected.push_back(" </table>");
  EXPECT_TRUE(run.page == crlf(expected));
  EXPECT_EQ(run.lineNumber, 1 + static_cast<int64_t>(block.size()));
}

}  // namespace
}  // namespace doc
