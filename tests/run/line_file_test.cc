#include "run/line_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "temp_folder.h"

namespace doc {
namespace {

class LineFileTest : public ::testing::Test {
 protected:
  TempFolder folder_;
};

std::vector<Text> readAll(const Text& name) {
  LineReader reader(name);
  std::vector<Text> lines;
  while (!reader.atEnd()) lines.emplace_back(reader.readLine());
  return lines;
}

TEST_F(LineFileTest, LineEnds) {
  struct Case {
    Text bytes;
    std::vector<Text> lines;
  };
  const Case cases[] = {
      {"a\r\nb", {"a", "b"}},
      {"a\n\n", {"a", ""}},
      {"a\rb\n", {"a\rb"}},
      {"a\r", {"a"}},
      {"a\r\r", {"a\r"}},
      {"", {}},
      {"\n", {""}},
      {"a\nb\n", {"a", "b"}},
      {"\r\n\r\n", {"", ""}},
      {Text("x\0y\x1Az\xFF\x80", 7) + "\n", {Text("x\0y\x1Az\xFF\x80", 7)}},
      {"\xEF\xBB\xBFtext", {"\xEF\xBB\xBFtext"}},
  };
  for (const Case& c : cases) {
    writeFile("in.txt", c.bytes);
    EXPECT_EQ(readAll("in.txt"), c.lines) << testing::PrintToString(c.bytes);
  }
}

TEST_F(LineFileTest, MissingFileIsEmpty) {
  LineReader reader("missing.txt");
  EXPECT_TRUE(reader.atEnd());
  EXPECT_EQ(reader.readLine(), "");
  EXPECT_TRUE(reader.atEnd());
}

TEST_F(LineFileTest, ReadPastEndAndRewind) {
  writeFile("in.txt", "one\ntwo");
  LineReader reader("in.txt");
  EXPECT_EQ(reader.readLine(), "one");
  EXPECT_EQ(reader.readLine(), "two");
  EXPECT_TRUE(reader.atEnd());
  EXPECT_EQ(reader.readLine(), "");
  reader.rewind();
  EXPECT_FALSE(reader.atEnd());
  EXPECT_EQ(reader.readLine(), "one");
}

TEST_F(LineFileTest, LinesLongerThanTheBuffer) {
  const Text longLine(10 * 1024 * 1024, 'x');
  writeFile("in.txt", "a\n" + longLine + "\r\nb\r" + longLine + "\r");
  const std::vector<Text> lines = readAll("in.txt");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "a");
  EXPECT_EQ(lines[1], longLine);
  EXPECT_EQ(lines[2], "b\r" + longLine);
}

TEST_F(LineFileTest, CrLfSplitAcrossBufferBoundary) {
  // A line end whose CR is the last byte of one buffer fill and LF the first of the next.
  for (size_t size : {size_t{1024 * 1024 - 1}, size_t{1024 * 1024}, size_t{1024 * 1024 + 1}}) {
    const Text line(size, 'q');
    writeFile("in.txt", line + "\r\nend");
    const std::vector<Text> lines = readAll("in.txt");
    ASSERT_EQ(lines.size(), 2u) << size;
    EXPECT_EQ(lines[0].size(), size);
    EXPECT_EQ(lines[1], "end");
  }
}

TEST_F(LineFileTest, WriterEndsLinesWithCrLf) {
  {
    LineWriter writer("out.txt");
    writer.writeText("a");
    writer.writeLine("b");
    writer.writeLine("");
    writer.writeLine(Text("\0\xFF", 2));
  }
  EXPECT_EQ(readFile("out.txt"), Text("ab\r\n\r\n\0\xFF\r\n", 10));
}

TEST_F(LineFileTest, WriterEmptiesAnExistingFile) {
  writeFile("out.txt", "old contents");
  LineWriter writer("out.txt");
  writer.close();
  EXPECT_EQ(readFile("out.txt"), "");
}

TEST_F(LineFileTest, WriterThatCannotCreateDropsOutput) {
  LineWriter writer("no_such_folder/out.txt");
  writer.writeLine("lost");
  writer.close();
  EXPECT_FALSE(fileExists("no_such_folder/out.txt"));
}

TEST_F(LineFileTest, CloseAllWritesOpenWriters) {
  auto* first = new LineWriter("a.txt");
  auto* second = new LineWriter("b.txt");
  first->writeLine("one");
  second->writeText("two");
  LineWriter::closeAll();
  EXPECT_EQ(readFile("a.txt"), "one\r\n");
  EXPECT_EQ(readFile("b.txt"), "two");
  delete first;
  delete second;
}

TEST_F(LineFileTest, ReopenAfterClose) {
  {
    LineWriter writer("f.txt");
    writer.writeLine("x");
  }
  EXPECT_EQ(readAll("f.txt"), std::vector<Text>{"x"});
  {
    LineWriter writer("f.txt");
    writer.writeLine("y");
  }
  EXPECT_EQ(readAll("f.txt"), std::vector<Text>{"y"});
}

}  // namespace
}  // namespace doc
