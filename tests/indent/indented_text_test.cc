#include "indent/indented_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "run/console.h"
#include "chapter_rows.h"
#include "temp_folder.h"

namespace doc {
namespace {

namespace fs = std::filesystem;

// Each test runs in a fresh folder of its own (TempFolder), with console output captured.
class IndentedTextTest : public ::testing::Test {
 protected:
  void SetUp() override { setConsoleSink(&console_); }
  void TearDown() override { setConsoleSink(nullptr); }

  RunSettings settings() const {
    RunSettings s;
    s.inputFileName = "rep.txt";
    s.baseName = "rep";
    return s;
  }

  Text console_;

 private:
  TempFolder folder_;
};

struct DocumentCase {
  const char* what;
  Text input;
  std::vector<ChapterRow> rows;
  Text expected;
};

TEST_F(IndentedTextTest, WritesEachLineIndentedByItsChapter) {
  const std::vector<DocumentCase> cases = {
      {"lines before the first heading get no indent; blank lines get the chapter's",
       "  Title  \n\r\n1. Intro\n     \ntext with  two blanks   \n",
       {row("1.", 3, 2, "1.")},
       "Title\r\n\r\n  1. Intro\r\n  \r\n  text with  two blanks\r\n"},
      {"the new number replaces the number word; the blanks after it stay",
       "  1.1   Scope  \n",
       {row("1.1.", 1, 4, "1.1")},
       "    1.1   Scope\r\n"},
      {"the indent carries over until the next heading, deeper or shallower",
       "1. A\na\n1.1. B\nb\n2. C\nc\n",
       {row("1.", 1, 2, "1."), row("1.1.", 3, 4, "1.1"), row("2.", 5, 2, "2.")},
       "  1. A\r\n  a\r\n    1.1 B\r\n    b\r\n  2. C\r\n  c\r\n"},
      {"tabs, high bytes and a lone CR are ordinary bytes; a last line needs no line end",
       "1. A\n\tTab \xE9\xFF\t\na\rb",
       {row("1.", 1, 2, "1.")},
       "  1. A\r\n  \tTab \xE9\xFF\t\r\n  a\rb\r\n"},
      {"a heading line without a row keeps its number and takes the chapter's indent",
       "1. A\n7. Rejected\n",
       {row("1.", 1, 2, "1.")},
       "  1. A\r\n  7. Rejected\r\n"},
      {"a row with an empty new number keeps the old number and clears the indent",
       "1. A\n... dots\nafter\n",
       {row("1.", 1, 2, "1."), row("...", 2, 0, "")},
       "  1. A\r\n... dots\r\nafter\r\n"},
      {"a heading renumbered by the table gets the table's number",
       "3. Wrong\n",
       {row("3.", 1, 2, "1.")},
       "  1. Wrong\r\n"},
      {"no rows: every line only trimmed", " 1. A \n  x\n", {}, "1. A\r\nx\r\n"},
  };
  for (const DocumentCase& c : cases) {
    SCOPED_TRACE(c.what);
    writeFile("rep.txt", c.input);
    writeIndentedText(settings(), tableOf(c.rows));
    EXPECT_EQ(readFile("rep_indent.txt"), c.expected);
  }
}

TEST_F(IndentedTextTest, RewritesReferencesToTheNewNumbers) {
  const std::vector<ChapterRow> rows = {row("1.", 1, 2, "1."), row("1.1.", 2, 4, "1.1"),
                                        row("1.", 3, 2, "2.")};
  const std::vector<std::pair<Text, Text>> cases = {
      // The marker in any case, the number without its final dot, the marker lowered.
      {"  LOOK_AT: 1.1  ", "  look_at: 1.1"},
      {"look_at: 1.1.", "  look_at: 1.1"},
      // Blanks around the number are trimmed away before the comparison.
      {"Look_At:   1.1   ", "  look_at: 1.1"},
      // Two headings written alike: the first one is named.
      {"look_at: 1", "  look_at: 1."},
      // Unknown numbers and text after the number: unchanged, only trimmed and indented.
      {"look_at: 9.", "  look_at: 9."},
      {"look_at: 1.1 more", "  look_at: 1.1 more"},
      // No blank after the colon: the skipped character is the number's first.
      {"look_at:1.1", "  look_at:1.1"},
      {"look_at:x1.1", "  look_at: 1.1"},
      // The marker counts only at the start of the trimmed line.
      {"see look_at: 1.1", "  see look_at: 1.1"},
      {"look_at", "  look_at"},
  };
  for (const auto& [line, expected] : cases) {
    SCOPED_TRACE(line);
    writeFile("rep.txt", "1. A\n1.1 B\n1. C\n" + line + "\n");
    writeIndentedText(settings(), tableOf(rows));
    EXPECT_EQ(readFile("rep_indent.txt"), "  1. A\r\n    1.1 B\r\n  2. C\r\n" + expected + "\r\n");
  }
}

TEST_F(IndentedTextTest, AnEmptyReferenceNamesAHeadingWrittenAsADot) {
  writeFile("rep.txt", ". A\nlook_at:\n");
  writeIndentedText(settings(), tableOf({row(".", 1, 2, "1.")}));
  EXPECT_EQ(readFile("rep_indent.txt"), "  1. A\r\n  look_at: 1.\r\n");
}

TEST_F(IndentedTextTest, AReferenceToAChapterWithoutNewNumberKeepsItsNumber) {
  writeFile("rep.txt", "... A\nlook_at: ...\n1. B\nlook_at: ...\n");
  writeIndentedText(settings(), tableOf({row("...", 1, 0, ""), row("1.", 3, 2, "1.")}));
  EXPECT_EQ(readFile("rep_indent.txt"), "... A\r\nlook_at: ...\r\n  1. B\r\n  look_at: ...\r\n");
}

TEST_F(IndentedTextTest, RowsBeyondTheChapterCountAreNotUsed) {
  writeFile("rep.txt", "1. A\nlook_at: 1.\n");
  ChapterTable table = tableOf({row("1.", 1, 2, "5.")});
  table.chapterCount = 0;  // counted by the first pass, not stored by the second
  writeIndentedText(settings(), table);
  EXPECT_EQ(readFile("rep_indent.txt"), "1. A\r\nlook_at: 1.\r\n");
}

TEST_F(IndentedTextTest, ListsTheOutputFileOnTheConsole) {
  writeFile("rep.txt", "1. A\n");
  writeIndentedText(settings(), tableOf({row("1.", 1, 2, "1.")}));
  EXPECT_EQ(console_, "====================\r\noutput files:\r\nrep_indent.txt\r\n");
}

TEST_F(IndentedTextTest, AMissingInputGivesAnEmptyFileAndTheSameConsoleLines) {
  writeIndentedText(settings(), tableOf({row("1.", 1, 2, "1.")}));
  EXPECT_TRUE(fs::exists("rep_indent.txt"));
  EXPECT_EQ(readFile("rep_indent.txt"), "");
  EXPECT_EQ(console_, "====================\r\noutput files:\r\nrep_indent.txt\r\n");
}

// A pass whose lookups scanned the table would take hours here.
TEST_F(IndentedTextTest, ManyHeadingsAndReferencesInOnePass) {
  constexpr int64_t kHeadings = 200000;
  Text input;
  std::vector<ChapterRow> rows;
  for (int64_t i = 1; i <= kHeadings; ++i) {
    input += intToText(i) + ". T\nlook_at: " + intToText(kHeadings + 1 - i) + "\n";
    rows.push_back(row(intToText(i) + ".", 2 * i - 1, 2, intToText(i + 7) + "."));
  }
  writeFile("rep.txt", input);
  writeIndentedText(settings(), tableOf(std::move(rows)));

  const Text output = readFile("rep_indent.txt");
  EXPECT_EQ(output.substr(0, 36), "  8. T\r\n  look_at: 200007.\r\n  9. T\r\n");
  const Text tail = "  200007. T\r\n  look_at: 8.\r\n";
  ASSERT_GE(output.size(), tail.size());
  EXPECT_EQ(output.substr(output.size() - tail.size()), tail);
}

}  // namespace
}  // namespace doc
