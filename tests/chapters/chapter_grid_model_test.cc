// The chapter analysis against a plain model of it: a grid of 30 text cells per row, each
// step run over all rows before the next, on random documents. The stages keep the
// components packed and do the renumbering steps in one pass; both must give the same
// rows, console bytes and chapter list bytes as the grid.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "chapter_fixture.h"

namespace doc {
namespace {

struct GridRow {
  std::array<Text, 31> cell;  // cell[1] .. cell[30]; cell[2] and cell[3] as decimal text
};

constexpr size_t kFirstComponentColumn = 5;
constexpr size_t kLastColumn = 30;

std::optional<Text> gridHeading(TextView t) {
  const int64_t p = findFrom(t, " ", 1);
  if (p == 0) return std::nullopt;
  const TextView word = sliceText(t, 1, p - 1);
  if (findFrom(word, ".", 1) == 0) return std::nullopt;
  for (int64_t i = 1; i <= p - 1; ++i) {
    const int code = byteAt(word, i);
    if (code < 46 || code > 57 || code == 47) return std::nullopt;
  }
  return Text(word);
}

int filled(const GridRow& row) {
  int count = 0;
  for (size_t c = kFirstComponentColumn; c <= kLastColumn; ++c)
    count += row.cell[c].empty() ? 0 : 1;
  return count;
}

std::vector<Text> leading(const GridRow& row) {
  std::vector<Text> parts;
  for (size_t c = kFirstComponentColumn; c <= kLastColumn && !row.cell[c].empty(); ++c)
    parts.push_back(row.cell[c]);
  return parts;
}

int64_t dots(const Text& t) { return static_cast<int64_t>(std::count(t.begin(), t.end(), '.')); }

Text raised(const Text& component) { return realToText(parseNumber(component) + 1.0); }

struct GridResult {
  std::vector<GridRow> rows;
  int64_t counted = 0;
  Text console;
  Text list;
};

GridResult gridAnalysis(const std::vector<Text>& lines, int64_t indentIncrement) {
  GridResult g;
  int64_t lineNumber = 0;
  for (const Text& line : lines) {
    const TextView t = trimBlanks(line);
    ++lineNumber;
    const std::optional<Text> word = gridHeading(t);
    if (word) ++g.counted;
    if (parseNumber(t) >= 2000 || !word) continue;
    GridRow row;
    row.cell[1] = *word;
    row.cell[2] = intToText(lineNumber);
    g.rows.push_back(row);
  }
  // Split; parts past column 30 have no column.
  for (GridRow& row : g.rows) {
    size_t column = kFirstComponentColumn;
    Text part;
    for (const char c : row.cell[1]) {
      if (c != '.') {
        part.push_back(c);
        continue;
      }
      if (column <= kLastColumn) row.cell[column] = part;
      ++column;
      part.clear();
    }
    if (column <= kLastColumn) row.cell[column] = part;
  }
  const size_t n = g.rows.size();
  if (n > 0) {
    const int firstCount = filled(g.rows[0]);
    int64_t top = toInteger(parseNumber(g.rows[0].cell[1]));
    for (size_t r = 1; r < n; ++r) {
      if (filled(g.rows[r]) <= firstCount) g.rows[r].cell[5] = intToText(++top);
    }
    for (GridRow& row : g.rows) {
      if (row.cell[1].back() != '.') row.cell[1] += ".";
    }
    for (size_t r = 1; r < n; ++r) {
      const int64_t dc = dots(g.rows[r].cell[1]);
      const int64_t dp = dots(g.rows[r - 1].cell[1]);
      if (dc == 1) continue;
      std::vector<Text> l = leading(g.rows[r - 1]);
      const size_t m = l.size();
      std::vector<Text> fresh;
      if (dc > dp && m == 26) {
        fresh = l;  // no column for a deeper level: the next one on the deepest
        fresh.back() = raised(l.back());
      } else if (dc > dp) {
        fresh = l;
        fresh.push_back("1");
      } else if (dc == dp && m >= 2) {
        fresh = l;
        fresh.back() = raised(l.back());
      } else if (dc == dp) {
        fresh = l;
        fresh.push_back("1");
      } else if (m == 2) {
        fresh = {l[0], raised(l[1])};
      } else if (m >= 3) {
        fresh.assign(l.begin(), l.end() - 2);
        fresh.push_back(raised(l[m - 2]));
      }
      for (size_t c = kFirstComponentColumn; c <= kLastColumn; ++c) g.rows[r].cell[c].clear();
      for (size_t k = 0; k < fresh.size(); ++k)
        g.rows[r].cell[kFirstComponentColumn + k] = fresh[k];
    }
  }
  g.console = "====================\r\n";
  for (GridRow& row : g.rows) {
    const std::vector<Text> l = leading(row);
    Text number;
    for (size_t k = 0; k < l.size(); ++k) number += (k > 0 ? "." : "") + l[k];
    if (l.size() == 1) number += ".";
    row.cell[3] = intToText(indentIncrement * static_cast<int64_t>(l.size()));
    row.cell[4] = number;
    g.console += row.cell[1] + blanks(14 - static_cast<int64_t>(row.cell[1].size()) % 14) +
                 row.cell[4] + "\r\n";
  }
  for (const GridRow& row : g.rows) {
    for (size_t c = 1; c <= kLastColumn; ++c) {
      if (!row.cell[c].empty()) g.list += row.cell[c] + "  ";
    }
    g.list += "  \r\n  \r\n";
  }
  return g;
}

uint64_t nextRandom(uint64_t& state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

Text randomComponent(uint64_t& state) {
  const uint64_t kind = nextRandom(state) % 100;
  if (kind < 10) return "";
  if (kind < 13) return Text(17, static_cast<char>('1' + nextRandom(state) % 9));
  if (kind < 14) return Text(400, '9');
  if (kind < 16) return "0" + intToText(static_cast<int64_t>(nextRandom(state) % 10));
  if (kind < 18) return "1999";
  return intToText(static_cast<int64_t>(1 + nextRandom(state) % 12));
}

Text randomLine(uint64_t& state) {
  const uint64_t kind = nextRandom(state) % 100;
  const char* const others[] = {"",
                                "Text of the chapter",
                                "1.\tx",
                                "3/4. x",
                                "12 x",
                                "2000. Year",
                                "3.",
                                "  2.1 x  ",
                                "x 1. y",
                                "1999.99999999999999999. x",
                                "... so on",
                                "2015.1. y",
                                "1999.99999. x"};
  if (kind < 25) return others[nextRandom(state) % std::size(others)];
  int parts = 1 + static_cast<int>(nextRandom(state) % 6);
  if (kind < 30) parts = 1 + static_cast<int>(nextRandom(state) % 32);
  Text word;
  for (int k = 0; k < parts; ++k) word += (k > 0 ? "." : "") + randomComponent(state);
  if (parts == 1 || nextRandom(state) % 10 < 7) word += ".";
  return word + " Heading";
}

class ChapterGridModelTest : public ChapterFixture {};

TEST_F(ChapterGridModelTest, RandomDocumentsMatchTheGrid) {
  uint64_t state = 7;
  for (int document = 0; document < 300; ++document) {
    std::vector<Text> lines{"1. First"};  // a heading, so the run would not end at the count
    const int length = 1 + static_cast<int>(nextRandom(state) % 80);
    for (int i = 0; i < length; ++i) lines.push_back(randomLine(state));
    if (document % 7 == 0) lines[0] = randomLine(state);
    if (document % 11 == 0) lines[0] = "2000. Years first";
    settings_.indentIncrement = 1 + static_cast<int32_t>(document % 4);
    const GridResult grid = gridAnalysis(lines, settings_.indentIncrement);
    if (grid.counted == 0) continue;

    console_.clear();
    const ChapterTable table = analyse(lines);
    SCOPED_TRACE(testing::PrintToString(lines));
    ASSERT_EQ(static_cast<int64_t>(table.rows.size()), grid.counted);
    ASSERT_EQ(table.chapterCount, static_cast<int64_t>(grid.rows.size()));
    for (size_t r = 0; r < grid.rows.size(); ++r) {
      const ChapterRow& row = table.rows[r];
      const GridRow& cells = grid.rows[r];
      EXPECT_EQ(row.writtenNumber, cells.cell[1]) << r;
      EXPECT_EQ(intToText(row.lineNumber), cells.cell[2]) << r;
      EXPECT_EQ(intToText(row.indentWidth), cells.cell[3]) << r;
      EXPECT_EQ(row.newNumber, cells.cell[4]) << r;
      ASSERT_LE(row.componentCount, kMaxComponents);
      for (int k = 1; k <= kMaxComponents; ++k)
        EXPECT_EQ(componentAt(row, k), cells.cell[static_cast<size_t>(k + 4)]) << r << " " << k;
    }
    EXPECT_EQ(console_, grid.console);
    EXPECT_EQ(readFile("doc_chapters.txt"), grid.list);
    if (HasFailure()) break;
  }
}

}  // namespace
}  // namespace doc
