#include "run/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace doc {
namespace {

TEST(FindFrom, Cases) {
  struct Case {
    TextView text, pattern;
    int64_t start, expected;
  };
  const Case cases[] = {
      {"abcabc", "bc", 1, 2}, {"abcabc", "bc", 3, 5}, {"abcabc", "bc", 0, 0},
      {"abcabc", "bc", 7, 0}, {"abcabc", "", 1, 0},   {"abc", "abcd", 1, 0},
      {"", "a", 1, 0},        {"abcabc", "bc", 6, 0}, {"abcabc", "c", 6, 6},
      {"aBc", "bc", 1, 0},    {"abc", "b", -5, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(findFrom(c.text, c.pattern, c.start), c.expected)
        << c.text << " / " << c.pattern << " from " << c.start;
}

TEST(SliceText, Cases) {
  struct Case {
    int64_t start, length;
    TextView expected;
  };
  const Case cases[] = {{3, 2, "cd"}, {3, -1, "cdef"}, {5, 10, "ef"}, {0, 2, ""},
                        {7, 1, ""},   {3, 0, ""},      {1, -1, "abcdef"}, {6, 1, "f"}};
  for (const Case& c : cases)
    EXPECT_EQ(sliceText("abcdef", c.start, c.length), c.expected)
        << c.start << "," << c.length;
  EXPECT_EQ(sliceText("", 1, 1), "");
}

TEST(Trim, BlanksOnly) {
  EXPECT_EQ(trimBlanks("\t a \t"), "\t a \t");
  EXPECT_EQ(trimBlanks("  a b  "), "a b");
  EXPECT_EQ(trimBlanks("     "), "");
  EXPECT_EQ(trimLeadingBlanks("  a  "), "a  ");
  EXPECT_EQ(trimTrailingBlanks("  a  "), "  a");
}

TEST(ToLowerAscii, OnlyCapitalLetters) {
  Text all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const Text lowered = toLowerAscii(all);
  for (int b = 0; b < 256; ++b) {
    const int expected = (b >= 'A' && b <= 'Z') ? b + 32 : b;
    EXPECT_EQ(static_cast<unsigned char>(lowered[static_cast<size_t>(b)]), expected) << b;
  }
  EXPECT_TRUE(startsWithLowered("  TABLE_start: x", "  table_start:"));
  EXPECT_FALSE(startsWithLowered("tab", "table"));
}

TEST(ByteAtBlanksIntToText, Edges) {
  EXPECT_EQ(byteAt("abc", 0), 0);
  EXPECT_EQ(byteAt("abc", 4), 0);
  EXPECT_EQ(byteAt("", 1), 0);
  EXPECT_EQ(byteAt("\xE9", 1), 0xE9);
  EXPECT_EQ(blanks(-3), "");
  EXPECT_EQ(blanks(0), "");
  EXPECT_EQ(blanks(3), "   ");
  EXPECT_EQ(intToText(-5), "-5");
  EXPECT_EQ(intToText(0), "0");
  EXPECT_EQ(intToText(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
}

TEST(RealToText, Cases) {
  struct Case {
    double value;
    TextView expected;
  };
  const Case cases[] = {{3.0, "3"},        {-12.0, "-12"},         {2.5, "2.5"},
                        {0.1 + 1, "1.1"},  {1e16, "1e+016"},       {0.00001, "1e-005"},
                        {0.0001, "0.0001"}, {9999999999999998.0, "9999999999999998"},
                        {0.0, "0"},         {1e300, "1e+300"},      {123456.5, "123456.5"}};
  for (const Case& c : cases) EXPECT_EQ(realToText(c.value), c.expected) << c.value;
}

TEST(ParseNumber, Cases) {
  struct Case {
    TextView text;
    double expected;
  };
  const Case cases[] = {
      {"1.2. Introduction", 1.2}, {"2000. End", 2000}, {"  7 days", 7}, {"3.5.1", 3.5},
      {".5.", 0.5},  {"...", 0},     {"1d3", 1000},   {"abc", 0},       {"", 0},
      {"&HFF", 255}, {"&hff", 255},  {"&O17", 15},    {"&B101", 5},     {"&17", 15},
      {"&9", 0},     {"&H", 0},      {"-2.5e1x", -25}, {"+4", 4},       {"1e", 1},
      {"1999.9 x", 1999.9}, {"&HFFFFFFFFFFFFFFFF", -1}, {"inf", 0}, {"nan", 0},
      {"0x1p3", 0}, {"1D-2", 0.01}, {"   ", 0}, {"\t5", 5},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(parseNumber(c.text), c.expected) << c.text;
  EXPECT_LT(parseNumber("1999.9 Title"), 2000);
  EXPECT_TRUE(std::isinf(parseNumber("1e999")));
  EXPECT_TRUE(std::isinf(parseNumber(Text(400, '9'))));
  EXPECT_DOUBLE_EQ(parseNumber("1" + Text(300, '0')), 1e300);
}

TEST(ParseRadixForm, ReportsOverflow) {
  EXPECT_FALSE(parseRadixForm("&HFFFFFFFFFFFFFFFF").overflow);
  EXPECT_TRUE(parseRadixForm("&H10000000000000000").overflow);
  EXPECT_EQ(parseRadixForm("&HFFFFFFFF").value, 0xFFFFFFFFu);
}

TEST(ToInteger, Cases) {
  struct Case {
    double value;
    int32_t expected;
  };
  const int32_t outside = std::numeric_limits<int32_t>::min();
  const Case cases[] = {{0.5, 0},           {1.5, 2},         {2.5, 2},
                        {3.5, 4},           {-1.5, -2},       {1.6, 2},
                        {2147483647.0, 2147483647}, {2147483647.6, outside},
                        {-2147483648.4, outside},  // rounds to -2147483648 itself
                        {-2147483649.0, outside},
                        {1e10, outside},    {-1e10, outside},
                        {std::numeric_limits<double>::quiet_NaN(), outside},
                        {std::numeric_limits<double>::infinity(), outside}};
  for (const Case& c : cases) EXPECT_EQ(toInteger(c.value), c.expected) << c.value;
}

}  // namespace
}  // namespace doc
