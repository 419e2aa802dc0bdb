// A fixture for the chapter analysis: each test runs in a fresh folder of its own with the
// console captured, writes a document there and runs the stages over it in run order.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "chapters/chapter_headings.h"
#include "chapters/chapter_list.h"
#include "chapters/components.h"
#include "chapters/renumber.h"
#include "run/console.h"
#include "temp_folder.h"

namespace doc {

class ChapterFixture : public ::testing::Test {
 protected:
  ChapterFixture() {
    settings_.inputFileName = "doc.txt";
    settings_.baseName = "doc";
    settings_.indentIncrement = 2;
  }
  void SetUp() override { setConsoleSink(&console_); }
  void TearDown() override { setConsoleSink(nullptr); }

  // The lines, each ended by CR LF, as the document.
  void writeDocument(const std::vector<Text>& lines) {
    Text bytes;
    for (const Text& line : lines) bytes += line + "\r\n";
    writeFile(settings_.inputFileName, bytes);
  }

  // Counting, the table at the counted size, collecting and splitting, as the run does.
  // REQUIRES: the document holds a heading (else the run would end).
  ChapterTable collect() {
    ChapterTable table;
    table.rows.resize(static_cast<size_t>(countChapterHeadings(settings_)));
    collectChapterHeadings(settings_, table);
    splitNumber(table);
    return table;
  }

  // The whole chapter analysis over the document.
  ChapterTable analyse(const std::vector<Text>& lines) {
    writeDocument(lines);
    ChapterTable table = collect();
    renumberChapters(table);
    listChapters(settings_, table);
    return table;
  }

  static std::vector<Text> newNumbers(const ChapterTable& table) {
    std::vector<Text> numbers;
    for (int64_t r = 0; r < table.chapterCount; ++r)
      numbers.push_back(table.rows[static_cast<size_t>(r)].newNumber);
    return numbers;
  }

  static std::vector<Text> components(const ChapterRow& row) {
    std::vector<Text> parts;
    for (int k = 1; k <= row.componentCount; ++k) parts.emplace_back(componentAt(row, k));
    return parts;
  }

  TempFolder folder_;
  RunSettings settings_;
  Text console_;
};

}  // namespace doc
