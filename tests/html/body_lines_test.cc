#include "html/body_lines.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "chapter_rows.h"
#include "temp_folder.h"

namespace doc {
namespace {

constexpr const char* kTag = "<table style=\"font-size:100%\" table align=\"center\" border=\"1\">";

Text headingLine(TextView indent, TextView number, TextView text) {
  return Text(indent) + "<span style=\"color:blue\"; ID=\"" + Text(number) + "\"><b>" + Text(text) +
         "</b></span>";
}

Text referenceLine(TextView indent, TextView number) {
  return Text(indent) + "look_at: <span><a href=\"#" + Text(number) + "\"> " + Text(number) +
         "</a></span>";
}

// Each test runs in a fresh folder of its own.
class BodyLinesTest : public ::testing::Test {
 protected:
  // The body lines written for an indented file holding `indented`.
  static Text bodyOf(const Text& indented, const ChapterTable& table) {
    writeFile("rep_indent.txt", indented);
    LineReader page("rep_indent.txt");
    LineWriter out("rep_indent.htm");
    writeBodyLines(page, out, table, "rep");
    EXPECT_TRUE(page.atEnd());
    out.close();
    return readFile("rep_indent.htm");
  }

 private:
  TempFolder folder_;
};

struct BodyCase {
  const char* what;
  std::vector<Text> indented;
  std::vector<ChapterRow> rows;
  std::vector<Text> page;
};

TEST_F(BodyLinesTest, LineRules) {
  const std::vector<BodyCase> cases = {
      {"plain line", {"hello world"}, {}, {"hello world"}},
      {"empty line and line of blanks", {"", "   "}, {}, {"", "   "}},
      {"angle brackets escaped, ampersands not",
       {"a < b > c &lt; d"},
       {},
       {"a &lt; b &gt; c &lt; d"}},
      {"bold line passes unchanged", {"  <B>Bold <i>x</i></B> "}, {}, {"  <B>Bold <i>x</i></B> "}},
      {"bare opening tag passes", {"<b>"}, {}, {"<b>"}},
      {"bold run followed by text is escaped", {"<b>x</b> y"}, {}, {"&lt;b&gt;x&lt;/b&gt; y"}},
      {"web link", {"see http://a.b now"}, {}, {"see <a href=\"http://a.b\">http://a.b</a> now"}},
      {"capitals found and kept, address ends the line",
       {"HTTPS://X.Y"},
       {},
       {"<a href=\"HTTPS://X.Y\">HTTPS://X.Y</a> "}},
      {"only the first of two addresses",
       {"http://a http://b"},
       {},
       {"<a href=\"http://a\">http://a</a> http://b"}},
      {"address between angle brackets keeps the escaped end",
       {"<http://a>"},
       {},
       {"&lt;<a href=\"http://a&gt;\">http://a&gt;</a> "}},
      {"file link",
       {"open FILE:///c:/a.txt"},
       {},
       {"open <a href=\"FILE:///c:/a.txt\">FILE:///c:/a.txt</a> "}},
      {"reference to a chapter, marker lowered",
       {"    LOOK_AT: 2.1"},
       {row(9, "2.1")},
       {referenceLine("    ", "2.1")}},
      {"reference with trailing blanks",
       {"look_at: 2.1   "},
       {row(9, "2.1")},
       {referenceLine("", "2.1")}},
      {"reference to no chapter is kept as a plain line",
       {"look_at: 9.9", "look_at: 2.1.", "next"},
       {row(9, "2.1")},
       {"look_at: 9.9", "look_at: 2.1.", "next"}},
      {"character after the colon is always skipped",
       {"look_at:2.1", "look_at:x2.1"},
       {row(9, "2.1")},
       {"look_at:2.1", referenceLine("", "2.1")}},
      {"bare marker matches a chapter without a new number",
       {"look_at:"},
       {row(9, "")},
       {referenceLine("", "")}},
      {"marker in mid line is no reference",
       {"see look_at: 2.1"},
       {row(9, "2.1")},
       {"see look_at: 2.1"}},
      {"heading keeps its indentation, text escaped and trimmed",
       {"intro", "  1. Intro <x>  ", "    1.1. Sub"},
       {row(2, "1."), row(3, "1.1")},
       {"intro", headingLine("  ", "1.", "1. Intro &lt;x&gt;"),
        headingLine("    ", "1.1", "1.1. Sub")}},
      {"marker lines outside a block are plain",
       {"column: A", "align: x", "table_end:"},
       {},
       {"column: A", "align: x", "table_end:"}},
  };
  for (const BodyCase& c : cases)
    EXPECT_EQ(bodyOf(crlf(c.indented), tableOf(c.rows)), crlf(c.page)) << c.what;
}

TEST_F(BodyLinesTest, PrecedenceOfTheRules) {
  const std::vector<BodyCase> cases = {
      {"a bold heading line passes, gets no anchor, and still counts",
       {"<b>1. Bold</b>", "2. Next"},
       {row(1, "1."), row(2, "2.")},
       {"<b>1. Bold</b>", headingLine("", "2.", "2. Next")}},
      {"an address wins over the heading",
       {"1. See http://x"},
       {row(1, "1.")},
       {"1. See <a href=\"http://x\">http://x</a> "}},
      {"a file address wins over the heading",
       {"1. See file:///x"},
       {row(1, "1.")},
       {"1. See <a href=\"file:///x\">file:///x</a> "}},
      {"a web address wins over a file address before it",
       {"file:///x http://y"},
       {},
       {"file:///x <a href=\"http://y\">http://y</a> "}},
      {"an address wins over a reference",
       {"look_at: 2.1 http://x"},
       {row(9, "2.1")},
       {"look_at: 2.1 <a href=\"http://x\">http://x</a> "}},
      {"a matched reference on a heading's line stays a reference",
       {"look_at: 1."},
       {row(1, "1.")},
       {referenceLine("", "1.")}},
      {"an unmatched reference on a heading's line takes the heading form",
       {"  look_at: 7"},
       {row(1, "1.")},
       {headingLine("  ", "1.", "look_at: 7")}},
      {"a table start holding an address is a linked line; its block goes line by line",
       {"table_start: see http://x", "column: A", "a", "table_end:"},
       {},
       {"table_start: see <a href=\"http://x\">http://x</a> ", "column: A", "a", "table_end:"}},
  };
  for (const BodyCase& c : cases)
    EXPECT_EQ(bodyOf(crlf(c.indented), tableOf(c.rows)), crlf(c.page)) << c.what;
}

TEST_F(BodyLinesTest, TableBlocks) {
  const std::vector<BodyCase> cases = {
      {"headings after a block keep their anchors",
       {"1. One", "table_start: T", "column: A", "x", "table_end:", "2. Two"},
       {row(1, "1."), row(6, "2.")},
       {headingLine("", "1.", "1. One"), kTag, "<caption><b>T</b></caption>", "<tr>", "<th>A</th>",
        "</tr>", "<tr>", "<td>x</td>", "</tr>", " </table>", headingLine("", "2.", "2. Two")}},
      {"a heading inside a block is a cell and gets no anchor",
       {"table_start:", "column: A", "3. In", "table_end:", "4. Out"},
       {row(3, "3."), row(5, "4.")},
       {kTag, "<tr>", "<th>A</th>", "</tr>", "<tr>", "<td>3. In</td>", "</tr>", " </table>",
        headingLine("", "4.", "4. Out")}},
      {"bold lines before a block count too",
       {"<b>x</b>", "  Table_Start: a<b", "table_end:", "1. After"},
       {row(4, "1.")},
       {"<b>x</b>", kTag, "<caption><b>a&lt;b</b></caption>", " </table>",
        headingLine("", "1.", "1. After")}},
      {"a block without an end line takes the rest of the document",
       {"table_start:", "column: A", "a", "column: B", "b1", "b2", "3. Late"},
       {row(7, "3.")},
       {kTag, "<tr>", "<th>A</th>", "<th>B</th>", "</tr>", "<tr>", "<td>a</td>", "<td>b1</td>",
        "</tr>", " </table>"}},
  };
  for (const BodyCase& c : cases)
    EXPECT_EQ(bodyOf(crlf(c.indented), tableOf(c.rows)), crlf(c.page)) << c.what;
}

TEST_F(BodyLinesTest, WorkFileHoldsTheLastBlock) {
  bodyOf(crlf({"table_start: one", "table_end:", "text", "table_start: two <", "column: A", "a <b>",
               "table_end:", "tail"}),
         tableOf({}));
  EXPECT_EQ(readFile("rep_table.txt"),
            crlf({"table_start: two &lt;", "column: A", "a <b>", "table_end:"}));
}

TEST_F(BodyLinesTest, WorkFileInTheWayLeavesLaterHeadingsAnchored) {
  std::filesystem::create_directory("rep_table.txt");
  EXPECT_EQ(
      bodyOf(crlf({"table_start: T", "column: A", "x", "table_end:", "1. After"}),
             tableOf({row(5, "1.")})),
      crlf({kTag, "<caption><b>T</b></caption>", " </table>", headingLine("", "1.", "1. After")}));
}

// A scan of the chapter table from its first row for every line would take hours here.
TEST_F(BodyLinesTest, ManyHeadingsAndReferencesStayLinear) {
  constexpr int kChapters = 200000;
  std::vector<ChapterRow> rows;
  Text indented;
  Text expected;
  for (int i = 1; i <= kChapters; ++i) {
    const Text number = std::to_string(i) + ".";
    rows.push_back(row(2 * i - 1, number));
    indented += number + " Title\r\n";
    indented += "look_at: " + std::to_string(kChapters + 1 - i) + ".\r\n";
    expected += headingLine("", number, number + " Title") + "\r\n";
    expected += referenceLine("", std::to_string(kChapters + 1 - i) + ".") + "\r\n";
  }
  EXPECT_TRUE(bodyOf(indented, tableOf(std::move(rows))) == expected);
}

}  // namespace
}  // namespace doc
