#include "chapters/chapter_headings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <optional>

#include "chapter_fixture.h"

namespace doc {
namespace {

// Lines as the passes see them (trimmed first) and the number word they give, if any.
TEST(ChapterHeadingRecognition, LinesToNumberWords) {
  struct Case {
    Text line;
    std::optional<Text> word;
  };
  const Case cases[] = {
      {"1. Introduction", "1."},
      {"2.1 Scope", "2.1"},
      {"   3.2. Text", "3.2."},
      {"1.2.   Title after several blanks", "1.2."},
      {"12. x", "12."},
      {"0. x", "0."},
      {"... and so on", "..."},
      {". x", "."},
      {"12.03.2015 meeting", "12.03.2015"},
      {"2000. x", "2000."},  // recognised; only the collecting pass leaves it out
      {"1. \t tab after the blank", "1."},
      // A number alone has no blank after it once trimmed.
      {"3.", std::nullopt},
      {"3.1.   ", std::nullopt},
      {"", std::nullopt},
      {"     ", std::nullopt},
      // The number word runs to the first blank, so a tab becomes part of it.
      {"1.\tTitle words", std::nullopt},
      {"\t1. x", std::nullopt},
      // Only digits and dots: the bytes just outside them are rejected too.
      {"3/4. x", std::nullopt},
      {"1a. x", std::nullopt},
      {"-1. x", std::nullopt},
      {"1,5 x", std::nullopt},
      {"1:2. x", std::nullopt},
      {"+1. x", std::nullopt},
      {"1.\x80 x", std::nullopt},
      {"\xB9. x", std::nullopt},
      {"1.\xFF. x", std::nullopt},
      {Text("1.\0. x", 6), std::nullopt},
      {"12 x", std::nullopt},
      {"x 1. y", std::nullopt},
  };
  for (const Case& c : cases) {
    const std::optional<TextView> word = isChapterHeading(trimBlanks(c.line));
    ASSERT_EQ(word.has_value(), c.word.has_value()) << testing::PrintToString(c.line);
    if (word) {
      EXPECT_EQ(*word, *c.word) << testing::PrintToString(c.line);
    }
  }
}

class ChapterHeadingsTest : public ChapterFixture {};

TEST_F(ChapterHeadingsTest, CollectsNumberWordsWithPhysicalLineNumbers) {
  writeDocument({
      "",                     // 1
      "",                     // 2
      "Title",                // 3
      "3.",                   // 4: a number alone
      "  1. Introduction  ",  // 5
      "1.1 Scope",            // 6
      "2000. Year",           // 7: counted, not stored
      "2015.1. Year",         // 8: counted, not stored
      "1999.9. Just below",   // 9
      "1.1 Scope",            // 10: the same number again gets a row of its own
      "12.03.2015 meeting",   // 11
      "1999.99999999999999999. Rounds to 2000 as a real",  // 12: counted, not stored
      "... and so on",                                     // 13
  });
  EXPECT_EQ(countChapterHeadings(settings_), 9);
  ChapterTable table = collect();
  ASSERT_EQ(table.rows.size(), 9u);
  ASSERT_EQ(table.chapterCount, 6);
  const std::pair<Text, int64_t> expected[] = {{"1.", 5},   {"1.1", 6},         {"1999.9.", 9},
                                               {"1.1", 10}, {"12.03.2015", 11}, {"...", 13}};
  for (size_t r = 0; r < std::size(expected); ++r) {
    EXPECT_EQ(table.rows[r].writtenNumber, expected[r].first) << r;
    EXPECT_EQ(table.rows[r].lineNumber, expected[r].second) << r;
  }
  // Rows past the stored ones stay empty.
  for (size_t r = 6; r < table.rows.size(); ++r) EXPECT_EQ(table.rows[r].writtenNumber, "");
  EXPECT_EQ(console_, "");
}

TEST_F(ChapterHeadingsTest, ValuesAroundTwoThousand) {
  writeDocument(
      {"1999.99999. a", "2000. b", "2000.0. c", "1999. d", "0001999.9. e", "02000. f", ".2000. g"});
  ChapterTable table = collect();
  std::vector<Text> stored;
  for (int64_t r = 0; r < table.chapterCount; ++r)
    stored.push_back(table.rows[static_cast<size_t>(r)].writtenNumber);
  EXPECT_EQ(stored, (std::vector<Text>{"1999.99999.", "1999.", "0001999.9.", ".2000."}));
}

TEST_F(ChapterHeadingsTest, EveryHeadingAtTwoThousandOrMoreLeavesNoRow) {
  writeDocument({"2000. x", "text", "2015.3. y"});
  ChapterTable table = collect();
  EXPECT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(table.chapterCount, 0);
}

TEST_F(ChapterHeadingsTest, LongLinesAndOtherLineEnds) {
  const Text title(300000, 'x');
  writeFile(settings_.inputFileName, "1. " + title + "\n2.1 b\r\n\r\nlast 3. c\n4. d");
  ChapterTable table = collect();
  ASSERT_EQ(table.chapterCount, 3);
  EXPECT_EQ(table.rows[0].lineNumber, 1);
  EXPECT_EQ(table.rows[1].writtenNumber, "2.1");
  EXPECT_EQ(table.rows[2].writtenNumber, "4.");
  EXPECT_EQ(table.rows[2].lineNumber, 5);
}

// The table is sized by the first pass; a document that gained headings since then must
// not be written past the rows there are.
TEST_F(ChapterHeadingsTest, CollectingStopsAtTheRowsThereAre) {
  writeDocument({"1. a", "2. b", "3. c"});
  ChapterTable table;
  table.rows.resize(2);
  collectChapterHeadings(settings_, table);
  EXPECT_EQ(table.chapterCount, 2);
  EXPECT_EQ(table.rows[1].writtenNumber, "2.");
}

// Without any heading the run ends in the wait, with status 0, after its message.
TEST_F(ChapterHeadingsTest, NoHeadingEndsTheRun) {
  for (const bool missing : {false, true}) {
    if (!missing) writeDocument({"Title", "3.", "12 x", "1.\tx"});
    if (missing) settings_.inputFileName = "missing.txt";
    EXPECT_EXIT(
        {
          setConsoleSink(nullptr);
          // The console goes where the death test looks, and no key can ever come.
          dup2(2, 1);
          if (std::freopen("/dev/null", "r", stdin) == nullptr) std::abort();
          countChapterHeadings(settings_);
        },
        testing::ExitedWithCode(0),
        "\r\nThe file does not have a chapter marked\\.\r\n<\\.\\.\\.> any key for continue, "
        "end\r\n");
  }
}

TEST_F(ChapterHeadingsTest, SplitAtTheDots) {
  struct Case {
    Text written;
    std::vector<Text> parts;
  };
  const Case cases[] = {
      {"1.", {"1", ""}},
      {"2.1", {"2", "1"}},
      {"2.1.", {"2", "1", ""}},
      {"1..3", {"1", "", "3"}},
      {".5.", {"", "5", ""}},
      {"...", {"", "", "", ""}},
      {"12.03.2015", {"12", "03", "2015"}},
      {"0001.", {"0001", ""}},
  };
  std::vector<Text> lines;
  for (const Case& c : cases) lines.push_back(c.written + " title");
  writeDocument(lines);
  ChapterTable table = collect();
  ASSERT_EQ(table.chapterCount, static_cast<int64_t>(std::size(cases)));
  for (size_t r = 0; r < std::size(cases); ++r) {
    EXPECT_EQ(components(table.rows[r]), cases[r].parts) << cases[r].written;
    EXPECT_EQ(table.rows[r].writtenNumber, cases[r].written);
  }
}

// A number word of more than 26 parts keeps its first 26 as components; the written number
// stays whole and the rows around it are untouched.
TEST_F(ChapterHeadingsTest, SplitKeepsAtMostTwentySixComponents) {
  Text exact;  // 26 parts: 25 dots
  for (int k = 1; k <= 26; ++k) exact += intToText(k) + (k < 26 ? "." : "");
  Text longer;  // 30 parts, the last one empty
  for (int k = 1; k <= 29; ++k) longer += intToText(k) + ".";
  const Text huge(400, '9');
  writeDocument({"1. a", exact + " b", longer + " c", "1." + huge + ".7 d", "2. e"});
  ChapterTable table = collect();
  ASSERT_EQ(table.chapterCount, 5);
  EXPECT_EQ(components(table.rows[0]), (std::vector<Text>{"1", ""}));
  ASSERT_EQ(table.rows[1].componentCount, 26);
  EXPECT_EQ(componentAt(table.rows[1], 26), "26");
  ASSERT_EQ(table.rows[2].componentCount, 26);
  EXPECT_EQ(componentAt(table.rows[2], 1), "1");
  EXPECT_EQ(componentAt(table.rows[2], 26), "26");
  EXPECT_EQ(table.rows[2].packedComponents.find("27"), Text::npos);
  EXPECT_EQ(table.rows[2].writtenNumber, longer);
  EXPECT_EQ(components(table.rows[3]), (std::vector<Text>{"1", huge, "7"}));
  EXPECT_EQ(components(table.rows[4]), (std::vector<Text>{"2", ""}));
}

}  // namespace
}  // namespace doc
