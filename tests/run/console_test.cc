#include "run/console.h"

#include <gtest/gtest.h>

#include <limits>

namespace doc {
namespace {

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setConsoleSink(&shown_);
    printLine();  // every test starts at column 0
    shown_.clear();
  }
  void TearDown() override { setConsoleSink(nullptr); }
  Text shown_;
};

TEST_F(ConsoleTest, PrintZonesFillToTheNextMultipleOf14) {
  printZoned("ab");
  printLine("x");
  EXPECT_EQ(shown_, "ab" + blanks(12) + "x\r\n");
  shown_.clear();
  printZoned(Text(14, 'q'));
  EXPECT_EQ(shown_, Text(14, 'q') + blanks(14));
  EXPECT_EQ(consoleColumn(), 28);
  printZoned("");
  EXPECT_EQ(consoleColumn(), 42);
}

TEST_F(ConsoleTest, ColumnFollowsLineEndsInsideTexts) {
  printText("abc\r\nde");
  EXPECT_EQ(consoleColumn(), 2);
  printText("x\ry");
  EXPECT_EQ(consoleColumn(), 1);
  printUncounted("not counted");
  EXPECT_EQ(consoleColumn(), 1);
}

TEST_F(ConsoleTest, PrintNumber) {
  printNumber(7);
  printNumber(12);
  printNumber(0);
  printNumber(-3);
  EXPECT_EQ(shown_, " 7 12 0-3");
}

TEST(IntegerItem, Cases) {
  struct Case {
    TextView line;
    int32_t expected;
  };
  const int32_t outside = std::numeric_limits<int32_t>::min();
  const Case cases[] = {
      {" 12 ,7", 12},   {"", 0},          {"-4", -4},      {"   ", 0},
      {"abc", 0},       {"3x", 3},        {"1.6", 2},      {"2.5", 2},
      {"2.6", 3},       {"\t5", 5},       {"7,8", 7},      {"+9", 9},
      {"1e2", 100},     {"1d1", 10},      {"&HFF", 255},   {"&H", 0},
      {"&", 0},         {"&o17", 15},     {"&HFFFFFFFF", -1},
      {"2147483647", 2147483647},         {"-2147483648", outside},
      {"99999999999", outside},           {"-99999999999", outside},
      {"2147483648", outside},            {"&HFFFFFFFFFF", outside},
      {"&H12345678901234567890", outside}, {"1e20", outside},
      {"&H1.5", 1},  // "&" comes before ".", so the radix form reads "&H1"
  };
  for (const Case& c : cases) EXPECT_EQ(integerItem(c.line), c.expected) << c.line;
}

TEST(TextItem, Cases) {
  struct Case {
    TextView line;
    TextView expected;
  };
  const Case cases[] = {
      {"no", "no"},          {"  ", ""},          {"", ""},           {",yes", ""},
      {"\"\"", ""},          {"\"", ""},          {"\"a, b\" c", "a, b"},
      {" a b ,c", "a b "},   {"\tx\t", "x\t"},    {"\"open", "open"},
  };
  for (const Case& c : cases) EXPECT_EQ(textItem(c.line), c.expected) << c.line;
  EXPECT_EQ(textItem(Text(5000, 'z')).size(), kMaxTextItem);
  EXPECT_EQ(textItem("\"" + Text(5000, 'z')).size(), kMaxTextItem);
}

}  // namespace
}  // namespace doc
