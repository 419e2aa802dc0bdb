#include "html/table_of_contents.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "chapter_rows.h"
#include "temp_folder.h"

namespace doc {
namespace {

namespace fs = std::filesystem;

// Each test runs in a fresh folder of its own (TempFolder).
class TableOfContentsTest : public ::testing::Test {
 protected:
  // The contents written for an indented file holding `indented`.
  static Text contentsOf(const Text& indented, const ChapterTable& table) {
    writeFile("rep_indent.txt", indented);
    LineReader page("rep_indent.txt");
    LineWriter out("rep_indent.htm");
    writeTableOfContents(page, out, table);
    EXPECT_TRUE(page.atEnd());
    out.close();
    return readFile("rep_indent.htm");
  }

 private:
  TempFolder folder_;
};

constexpr const char* kHeading = "<b>TABLE OF CONTENTS</b>\r\n";

struct ContentsCase {
  const char* what;
  Text indented;
  std::vector<ChapterRow> rows;
  Text entries;  // what stands between the heading line and "<br>"
};

TEST_F(TableOfContentsTest, WritesOneEntryPerHeadingLine) {
  const std::vector<ContentsCase> cases = {
      {"no rows: the heading line and <br> alone", "intro\r\n  1. A\r\n", {}, ""},
      {"no lines at all", "", {row(1, "1.")}, ""},
      {"entries in file order, indented like their heading lines",
       "Title\r\n  1. A\r\n  text\r\n    1.1 B  \r\n  2. C\r\n",
       {row(2, "1."), row(4, "1.1"), row(5, "2.")},
       "  <b>1. A <a href=\"#1.\">1.</a> </b>\r\n"
       "    <b>1.1 B <a href=\"#1.1\">1.1</a> </b>\r\n"
       "  <b>2. C <a href=\"#2.\">2.</a> </b>\r\n"},
      {"angle brackets escaped, ampersands not",
       "  1. a<b> & c>d\r\n",
       {row(1, "1.")},
       "  <b>1. a&lt;b&gt; & c&gt;d <a href=\"#1.\">1.</a> </b>\r\n"},
      {"a tab after the leading blanks belongs to the heading text",
       "  \t1. A\r\n",
       {row(1, "1.")},
       "  <b>\t1. A <a href=\"#1.\">1.</a> </b>\r\n"},
      {"an empty new number still gives an entry, linked to # alone",
       "... dots\r\n",
       {row(1, "")},
       "<b>... dots <a href=\"#\"></a> </b>\r\n"},
      {"a line number past the end of the file gives no entry",
       "  1. A\r\n",
       {row(1, "1."), row(3, "2.")},
       "  <b>1. A <a href=\"#1.\">1.</a> </b>\r\n"},
      {"a heading line of blanks only gives an entry with an empty heading",
       "   \r\n",
       {row(1, "1.")},
       "   <b> <a href=\"#1.\">1.</a> </b>\r\n"},
  };
  for (const ContentsCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(contentsOf(c.indented, tableOf(c.rows)), kHeading + c.entries + "<br>\r\n");
  }
}

TEST_F(TableOfContentsTest, RowsBeyondTheChapterCountGiveNoEntry) {
  ChapterTable table = tableOf({row(1, "1."), row(2, "2.")});
  table.chapterCount = 1;
  EXPECT_EQ(contentsOf("1. A\r\n2. B\r\n", table),
            Text(kHeading) + "<b>1. A <a href=\"#1.\">1.</a> </b>\r\n<br>\r\n");
}

TEST_F(TableOfContentsTest, AMissingIndentedFileGivesTheHeadingAndBrOnly) {
  LineReader page("missing_indent.txt");
  LineWriter out("rep_indent.htm");
  writeTableOfContents(page, out, tableOf({row(1, "1.")}));
  out.close();
  EXPECT_EQ(readFile("rep_indent.htm"), Text(kHeading) + "<br>\r\n");
}

// A pass whose lookups scanned the table would take hours here.
TEST_F(TableOfContentsTest, ManyHeadings) {
  constexpr int64_t kHeadings = 200000;
  Text indented;
  Text expected = kHeading;
  std::vector<ChapterRow> rows;
  for (int64_t i = 1; i <= kHeadings; ++i) {
    const Text number = intToText(i) + ".";
    indented += "  " + number + " T\r\ntext\r\n";
    rows.push_back(row(2 * i - 1, number));
    expected += "  <b>" + number + " T <a href=\"#" + number + "\">" + number + "</a> </b>\r\n";
  }
  EXPECT_EQ(contentsOf(indented, tableOf(std::move(rows))), expected + "<br>\r\n");
}

}  // namespace
}  // namespace doc
