// Chapter analysis throughput: writes a document of many headings into a fresh temporary
// folder, runs the chapter analysis over it stage by stage as the run does (count, table,
// collect, split, renumber, list), and prints the wall seconds of each stage, the peak
// resident size and the chapter table's bytes per heading. The console list goes to
// /dev/null while it is written, so the figures are those of the stages, not of a terminal.
//
// Usage: chapters_bench [HEADINGS [WORK_DIR]]   (default 1000000 headings, $TMPDIR or /tmp)
// The document is read right after it was written, so it comes from the page cache.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "chapters/chapter_headings.h"
#include "chapters/chapter_list.h"
#include "chapters/renumber.h"
#include "run/console.h"
#include "run/line_file.h"
#include "run/text.h"

namespace {

using doc::Text;
using Clock = std::chrono::steady_clock;

// splitmix64: the same document on every platform and every run.
uint64_t nextRandom(uint64_t& state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

const char* const kWords[] = {"the",    "scope",  "of",     "work",    "general", "terms",
                              "design", "review", "method", "results", "notes",   "data",
                              "and",    "for",    "tests",  "limits",  "overview"};
constexpr size_t kWordCount = sizeof kWords / sizeof kWords[0];

void appendWords(Text& line, uint64_t& state, int count) {
  for (int i = 0; i < count; ++i) {
    if (i > 0) line.push_back(' ');
    line.append(kWords[nextRandom(state) % kWordCount]);
  }
}

// Headings on up to six levels that move as real ones do (mostly one level at a time,
// now and then two), some without their final dot, each with a line of text after it;
// top numbers start over below 2000. About 60 bytes per heading.
uint64_t writeDocument(const Text& name, int64_t headings) {
  doc::LineWriter out(name);
  uint64_t state = 2024;
  uint64_t bytes = 0;
  std::vector<int64_t> number{0};
  Text line;
  for (int64_t h = 0; h < headings; ++h) {
    const uint64_t move = nextRandom(state) % 100;
    if (move < 35 && number.size() < 6) {
      number.push_back(1);
      if (move < 3 && number.size() < 6) number.push_back(1);  // two deeper as written
    } else if (move < 70 || number.size() == 1) {
      ++number.back();
    } else {
      number.pop_back();
      if (move > 95 && number.size() > 1) number.pop_back();  // two higher
      ++number.back();
    }
    if (number.size() == 1 && number[0] >= 2000) number[0] = 1;
    line.clear();
    for (const int64_t part : number) {
      line.append(doc::intToText(part));
      line.push_back('.');
    }
    if (number.size() > 1 && nextRandom(state) % 10 == 0) line.pop_back();
    line.push_back(' ');
    appendWords(line, state, 2);
    out.writeLine(line);
    bytes += line.size() + 2;
    line.clear();
    appendWords(line, state, 6);
    out.writeLine(line);
    bytes += line.size() + 2;
  }
  out.close();
  return bytes;
}

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Heap bytes of a text beyond the part kept inside the text itself.
uint64_t heapBytes(const Text& text) {
  static const size_t inPlace = Text().capacity();
  return text.capacity() > inPlace ? text.capacity() + 1 : 0;
}

uint64_t tableBytes(const doc::ChapterTable& table) {
  uint64_t bytes = table.rows.capacity() * sizeof(doc::ChapterRow);
  for (const doc::ChapterRow& row : table.rows)
    bytes +=
        heapBytes(row.writtenNumber) + heapBytes(row.newNumber) + heapBytes(row.packedComponents);
  return bytes;
}

long peakResidentKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  const int64_t headings = argc > 1 ? std::strtoll(argv[1], nullptr, 10) : 1000000;
  const char* tmp = std::getenv("TMPDIR");
  std::filesystem::path base = argc > 2 ? argv[2] : (tmp != nullptr ? tmp : "/tmp");
  std::string folder = (base / "chapters_bench_XXXXXX").string();
  if (headings < 1 || mkdtemp(folder.data()) == nullptr) {
    std::fprintf(stderr, "usage: chapters_bench [HEADINGS>0 [WORK_DIR]]\n");
    return 1;
  }
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder);

  doc::RunSettings settings;
  settings.inputFileName = "bench.txt";
  settings.baseName = "bench";
  settings.indentIncrement = 2;

  Clock::time_point start = Clock::now();
  const uint64_t documentBytes = writeDocument(settings.inputFileName, headings);
  const double generated = secondsSince(start);
  const long residentBefore = peakResidentKb();

  Clock::time_point analysis = Clock::now();
  start = Clock::now();
  doc::ChapterTable table;
  const int64_t counted = doc::countChapterHeadings(settings);
  const double count = secondsSince(start);

  start = Clock::now();
  table.rows.resize(static_cast<size_t>(counted));
  const double create = secondsSince(start);

  start = Clock::now();
  doc::collectChapterHeadings(settings, table);
  const double collect = secondsSince(start);

  start = Clock::now();
  doc::splitNumber(table);
  const double split = secondsSince(start);

  start = Clock::now();
  doc::renumberChapters(table);
  const double renumber = secondsSince(start);

  std::fflush(stdout);
  const int savedOut = dup(1);
  const int nowhere = open("/dev/null", O_WRONLY);
  dup2(nowhere, 1);
  start = Clock::now();
  doc::listChapters(settings, table);
  doc::flushConsole();
  const double list = secondsSince(start);
  dup2(savedOut, 1);
  close(nowhere);
  close(savedOut);
  const double total = secondsSince(analysis);

  const uint64_t listBytes = std::filesystem::file_size("bench_chapters.txt");
  const uint64_t bytes = tableBytes(table);
  std::printf("document      %" PRId64 " headings, %.1f MB (written in %.2f s)\n", headings,
              static_cast<double>(documentBytes) / 1e6, generated);
  std::printf("stored        %" PRId64 " of %" PRId64 " counted headings\n", table.chapterCount,
              counted);
  std::printf("count         %.3f s\n", count);
  std::printf("create table  %.3f s\n", create);
  std::printf("collect       %.3f s\n", collect);
  std::printf("split         %.3f s\n", split);
  std::printf("renumber      %.3f s\n", renumber);
  std::printf("list          %.3f s (chapter list %.1f MB)\n", list,
              static_cast<double>(listBytes) / 1e6);
  std::printf("analysis      %.3f s\n", total);
  std::printf("table         %.1f bytes per heading (row %zu bytes, %.1f MB in all)\n",
              static_cast<double>(bytes) / static_cast<double>(counted), sizeof(doc::ChapterRow),
              static_cast<double>(bytes) / 1e6);
  std::printf("peak RSS      %.1f MB (%.1f MB before the analysis)\n",
              static_cast<double>(peakResidentKb()) / 1024.0,
              static_cast<double>(residentBefore) / 1024.0);

  std::filesystem::current_path(previous);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return 0;
}
