// Skipping lines must leave the reader exactly where as many readLine calls would, and count
// the same lines: line ends are counted sixteen bytes at a time, and a line longer than the
// reader's buffer is dropped as it is passed, so the cases put line ends at every place of
// a block, end files with and without a line end, and pass lines longer than the buffer.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "run/line_file.h"
#include "temp_folder.h"

namespace doc {
namespace {

std::vector<Text> allLines(const Text& name) {
  std::vector<Text> lines;
  LineReader reader(name);
  while (!reader.atEnd()) lines.emplace_back(reader.readLine());
  return lines;
}

// For every count: skip it, then the next line and the end must be as when reading.
void expectSkipsLikeReads(const Text& bytes, const char* what) {
  writeFile("skip.txt", bytes);
  const std::vector<Text> lines = allLines("skip.txt");
  const auto total = static_cast<int64_t>(lines.size());
  for (int64_t count = 0; count <= total + 2; ++count) {
    LineReader reader("skip.txt");
    ASSERT_EQ(reader.skipLines(count), std::min(count, total)) << what << " " << count;
    if (count < total) {
      ASSERT_FALSE(reader.atEnd()) << what << " " << count;
      ASSERT_TRUE(reader.readLine() == lines[static_cast<size_t>(count)]) << what << " " << count;
    } else {
      ASSERT_TRUE(reader.atEnd()) << what << " " << count;
    }
  }
  // Skips in steps, mixed with reads.
  LineReader reader("skip.txt");
  int64_t at = 0;
  for (int64_t step = 1; at < total; ++step) {
    at += reader.skipLines(step % 3);
    if (at >= total) break;
    ASSERT_TRUE(reader.readLine() == lines[static_cast<size_t>(at)]) << what << " at " << at;
    ++at;
  }
  EXPECT_EQ(reader.skipLines(std::numeric_limits<int64_t>::max()), 0) << what;
  EXPECT_TRUE(reader.atEnd()) << what;
}

class LineSkipTest : public ::testing::Test {
 private:
  TempFolder folder_;
};

TEST_F(LineSkipTest, SmallShapes) {
  const struct {
    const char* what;
    Text bytes;
  } cases[] = {
      {"empty file", ""},
      {"one line end", "\n"},
      {"no final line end", "a\nb"},
      {"final CR alone", "a\n\r"},
      {"CR LF", "a\r\nb\r\n\r\nc"},
      {"empty lines", "\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n"},
  };
  for (const auto& c : cases) expectSkipsLikeReads(c.bytes, c.what);
}

TEST_F(LineSkipTest, LineEndsAtEveryPlaceOfABlock) {
  for (size_t length = 0; length <= 40; ++length) {
    Text bytes;
    for (size_t line = 0; line < 6; ++line) bytes += Text(length + line % 3, 'x') + "\n";
    expectSkipsLikeReads(bytes, "short lines");
    expectSkipsLikeReads(bytes + "tail", "short lines, a last line without a line end");
  }
}

TEST_F(LineSkipTest, LinesLongerThanTheBuffer) {
  const Text longLine(3 << 20, 'l');
  expectSkipsLikeReads("a\n" + longLine + "\nb\n" + longLine + "\n", "long lines");
  expectSkipsLikeReads("a\n" + longLine, "a long last line without a line end");
  // Many short lines, so that buffers are filled again with a line cut at their end.
  Text many;
  for (int i = 0; i < 300000; ++i) many += std::to_string(i) + (i % 7 ? "\n" : "\r\n");
  writeFile("skip.txt", many);
  const std::vector<Text> lines = allLines("skip.txt");
  for (const int64_t count : {int64_t{99999}, int64_t{150001}, int64_t{299999}}) {
    LineReader reader("skip.txt");
    ASSERT_EQ(reader.skipLines(count), count);
    EXPECT_TRUE(reader.readLine() == lines[static_cast<size_t>(count)]) << count;
  }
}

}  // namespace
}  // namespace doc
