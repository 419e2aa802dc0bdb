#include "chapters/renumber.h"

#include <gtest/gtest.h>

#include "chapter_fixture.h"

namespace doc {
namespace {

class RenumberTest : public ChapterFixture {
 protected:
  // A document of one heading per written number, analysed; gives the new numbers.
  std::vector<Text> renumber(const std::vector<Text>& written) {
    std::vector<Text> lines{"Title line"};
    for (const Text& number : written) lines.push_back(number + " Heading");
    const ChapterTable table = analyse(lines);
    return newNumbers(table);
  }
};

// Documents, as the numbers their headings are written with, and the new numbers.
TEST_F(RenumberTest, DocumentsToNewNumbers) {
  struct Case {
    std::vector<Text> written;
    std::vector<Text> renumbered;
  };
  const Case cases[] = {
      {{"1.", "1.1.", "1.1.1.", "1.2.", "2.", "2.1", "3."},
       {"1.", "1.1", "1.1.1", "1.2", "2.", "2.1", "3."}},
      // Two levels deeper as written is one level deeper as renumbered.
      {{"1.", "1.1.", "1.1.1.1.", "1.1.2.", "1.2.", "3.", "3.2.5.", "4."},
       {"1.", "1.1", "1.1.1", "1.2", "1.3", "2.", "2.1", "3."}},
      // Two levels higher as written is one level higher; the drift lasts to "2.".
      {{"1.", "1.1.", "1.1.1.", "1.1.1.1.", "1.2.", "1.2.1.", "1.2.1.1.", "1.3.", "2."},
       {"1.", "1.1", "1.1.1", "1.1.1.1", "1.1.2", "1.1.2.1", "1.1.2.1.1", "1.1.2.2", "2."}},
      // A first chapter of two components: the top counter counts the two-part rows too.
      {{"1.1.", "1.2.", "2.", "2.1.", "3."}, {"1.1", "1.2", "3.", "3.1", "5."}},
      {{"3.", "3.1.", "7."}, {"3.", "3.1", "4."}},
      {{"1.5.", "2."}, {"1.5", "3."}},
      {{"0.5.", "2."}, {"0.5", "1."}},
      {{"2.5.", "9."}, {"2.5", "3."}},  // 2.5 rounds to the even 2
      {{"1.009", "1.1"}, {"1.009", "1.10"}},
      {{"1.", "1.1.1."}, {"1.", "1.1"}},
      {{"2.", "2.1.", "2.1."}, {"2.", "2.1", "2.2"}},
      {{"2.1"}, {"2.1"}},
      // The first chapter keeps its components, gaps included; only its leading ones count.
      {{"1..2.", "3."}, {"1.", "2."}},
      // Higher than a new number of a single component: nothing is left.
      {{"1..2.", "1.1."}, {"1.", ""}},
      {{"1.", "1.1.", "1.1.", "1.1.1.", "5."}, {"1.", "1.1", "1.2", "1.2.1", "2."}},
      // Only dots first: no components to count from, single-dot headings keep their own.
      {{"...", "1.1.1.1.", "5.", "5.1.", "6."}, {"", "1.", "5.", "5.1", "6."}},
      {{"...", "...", "1.1."}, {"", "1.", ""}},
      {{".", "1.1."}, {"", "1."}},
      {{"1.", "...", "1.1."}, {"1.", "1.1", "1.2"}},
      {{"1.", ".5", "7."}, {"1.", "1.1", "3."}},
      {{"1.", "3..", "1.1.", "4."}, {"1.", "1.1", "1.2", "3."}},
      // Numbers near the year limit still count on.
      {{"1999.99999.", "1.", "1.1."}, {"1999.99999", "2001.", "2001.1"}},
      {{Text(29, '0') + "1.5.", "1."}, {Text(29, '0') + "1.5", "3."}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(renumber(c.written), c.renumbered) << testing::PrintToString(c.written);
}

TEST_F(RenumberTest, WrittenNumbersEndInADotAndStayAsWritten) {
  const ChapterTable table = analyse({"3. a", "3.1 b", "7. c", "... d", "1..3 e", "2.1. f"});
  std::vector<Text> written;
  for (int64_t r = 0; r < table.chapterCount; ++r)
    written.push_back(table.rows[static_cast<size_t>(r)].writtenNumber);
  EXPECT_EQ(written, (std::vector<Text>{"3.", "3.1.", "7.", "...", "1..3.", "2.1."}));
  EXPECT_EQ(table.rows[2].newNumber, "4.");
}

TEST_F(RenumberTest, RaisedComponentsUseTheRealValue) {
  const Text huge(400, '9');
  struct Case {
    std::vector<Text> written;
    std::vector<Text> renumbered;
  };
  const Case cases[] = {
      {{"1.12345678901234567.", "1.1."}, {"1.12345678901234567", "1.1.234567890123457e+016"}},
      // A raised exponent form is read back as its value.
      {{"1.12345678901234567.", "1.1.", "1.1."},
       {"1.12345678901234567", "1.1.234567890123457e+016", "1.1.234567890123457e+016"}},
      {{"1.999999999999999.", "1.1."}, {"1.999999999999999", "1.1000000000000000"}},
      {{"1.9999999999999999.", "1.1."}, {"1.9999999999999999", "1.1e+016"}},
      {{"1.009.", "1.1.", "1.1."}, {"1.009", "1.10", "1.11"}},
      // Too large for a real: its digits are raised instead, so no number reads "inf".
      {{"1." + huge + ".", "1.1.", "2."}, {"1." + huge, "1.1" + Text(400, '0'), "4."}},
      {{"1." + huge + ".", "1.1.", "1.1.", "2."},
       {"1." + huge, "1.1" + Text(400, '0'), "1.1" + Text(399, '0') + "1", "5."}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(renumber(c.written), c.renumbered) << testing::PrintToString(c.written);
}

TEST_F(RenumberTest, IncrementText) {
  const std::pair<Text, Text> cases[] = {
      {"", "1"},
      {"9", "10"},
      {"009", "10"},
      {"0", "1"},
      {"999999999999999", "1000000000000000"},
      {"9999999999999999", "1e+016"},
      {"12345678901234567", "1.234567890123457e+016"},
      {"1.234567890123457e+016", "1.234567890123457e+016"},
      {"2147483647", "2147483648"},
      // Past the range of a real the digits themselves are raised, never "inf".
      {Text(400, '9'), "1" + Text(400, '0')},
      {"1" + Text(399, '0'), "1" + Text(398, '0') + "1"},
      {"12" + Text(398, '9'), "13" + Text(398, '0')},
  };
  for (const auto& [component, raised] : cases)
    EXPECT_EQ(incrementText(component), raised) << component;
}

TEST_F(RenumberTest, EmptyTableAndSingleRow) {
  ChapterTable empty;
  renumberChapters(empty);  // n = 0: nothing to read, not even row 1
  EXPECT_EQ(empty.chapterCount, 0);

  const ChapterTable one = analyse({"1..2 only"});
  ASSERT_EQ(one.chapterCount, 1);
  EXPECT_EQ(one.rows[0].writtenNumber, "1..2.");
  EXPECT_EQ(components(one.rows[0]), (std::vector<Text>{"1", "", "2"}));
}

// Numbers of more than 26 parts as written: only their dot count takes part, and their
// surplus parts are gone; no row ever holds more than 26 components.
TEST_F(RenumberTest, WrittenNumbersOfMoreThanTwentySixParts) {
  Text deep;
  for (int k = 1; k <= 40; ++k) deep += "1.";
  std::vector<Text> numbers = renumber({"1.", deep, deep, "1.2.", "2."});
  EXPECT_EQ(numbers, (std::vector<Text>{"1.", "1.1", "1.2", "1.3", "2."}));

  // As the first chapter: its first 26 parts are its number.
  numbers = renumber({deep, "2.", deep, "2.1."});
  Text first;
  for (int k = 1; k <= 26; ++k) first += k < 26 ? "1." : "1";
  EXPECT_EQ(numbers, (std::vector<Text>{first, "2.", "2.1", "2.2"}));
}

// Each heading written one level deeper than the one before adds a level, up to the 26
// component columns; a deeper heading after that is the next one on the deepest level.
TEST_F(RenumberTest, DeeperStepWithEveryColumnInUse) {
  std::vector<Text> written;
  Text number;
  for (int level = 1; level <= 28; ++level) {
    number += "1.";
    written.push_back(number);
  }
  written.push_back(number);  // same level as written
  written.push_back(number + "1.");
  written.push_back("1.2.");  // far higher as written: one level up
  written.push_back("2.");
  const ChapterTable table = analyse([&] {
    std::vector<Text> lines;
    for (const Text& w : written) lines.push_back(w + " Heading");
    return lines;
  }());
  ASSERT_EQ(table.chapterCount, 32);
  Text full;  // 26 components
  for (int k = 1; k <= 25; ++k) full += "1.";
  EXPECT_EQ(table.rows[25].newNumber, full + "1");
  EXPECT_EQ(table.rows[26].newNumber, full + "2");
  EXPECT_EQ(table.rows[27].newNumber, full + "3");
  EXPECT_EQ(table.rows[28].newNumber, full + "4");
  EXPECT_EQ(table.rows[29].newNumber, full + "5");
  EXPECT_EQ(table.rows[30].newNumber, full.substr(0, 48) + "2");
  EXPECT_EQ(table.rows[31].newNumber, "2.");
  for (int64_t r = 0; r < table.chapterCount; ++r) {
    EXPECT_LE(table.rows[static_cast<size_t>(r)].componentCount, kMaxComponents);
    const int64_t level = r < 26 ? r + 1 : r < 30 ? 26 : r == 30 ? 25 : 1;
    EXPECT_EQ(table.rows[static_cast<size_t>(r)].indentWidth, 2 * level) << r;
  }
}

}  // namespace
}  // namespace doc
