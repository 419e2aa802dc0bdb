// Golden cases: each folder of tests/e2e/cases holds a whole run worked out by hand.
//   input/      the files of the folder before the run (the documents)
//   answers     the bytes typed at the console (standard input)
//   console     the console bytes the run must show
//   expected/   files the run must leave, byte for byte
//   program     optional: the program's file name (default www.example.org.exe)
//   absent      optional: names of files the run must not leave, one per line
// Every run must end with exit status 0 and leave the input files as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

#include "e2e/program_run.h"

namespace doc {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> caseNames() {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(CASES_DIR, ignored))
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> splitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::istringstream in(bytes);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The first line where the two differ, shown with C escapes so CR and blanks are seen.
std::string firstDifference(const std::string& expected, const std::string& actual) {
  const std::vector<std::string> want = splitLines(expected);
  const std::vector<std::string> got = splitLines(actual);
  const size_t count = std::max(want.size(), got.size());
  for (size_t i = 0; i < count; ++i) {
    const std::string a = i < want.size() ? want[i] : "<no line>";
    const std::string b = i < got.size() ? got[i] : "<no line>";
    if (a != b)
      return "line " + std::to_string(i + 1) + "\n  expected: " + testing::PrintToString(a) +
             "\n  actual:   " + testing::PrintToString(b);
  }
  return "same lines, different line ends or final bytes";
}

std::string fileOrEmpty(const fs::path& path) {
  return fs::exists(path) ? readFile(path.string()) : std::string();
}

class GoldenCase : public testing::TestWithParam<std::string> {};

TEST_P(GoldenCase, Run) {
  const fs::path dir = fs::path(CASES_DIR) / GetParam();
  ProgramRun run;
  std::map<std::string, std::string> inputs;
  for (const auto& entry : fs::directory_iterator(dir / "input")) {
    const std::string name = entry.path().filename().string();
    inputs[name] = readFile(entry.path().string());
    run.addFile(name, inputs[name]);
  }
  std::string programName = "www.example.org.exe";
  if (fs::exists(dir / "program")) {
    programName = readFile((dir / "program").string());
    while (!programName.empty() && (programName.back() == '\n' || programName.back() == '\r'))
      programName.pop_back();
  }

  const ProgramResult result = run.run(fileOrEmpty(dir / "answers"), programName);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitStatus, 0);
  const std::string console = fileOrEmpty(dir / "console");
  EXPECT_TRUE(result.console == console) << "console, " << firstDifference(console, result.console);

  const std::map<std::string, std::string> left = run.files();
  for (const auto& [name, bytes] : inputs) {
    auto found = left.find(name);
    EXPECT_TRUE(found != left.end() && found->second == bytes) << "input changed: " << name;
  }
  for (const std::string& name : splitLines(fileOrEmpty(dir / "absent")))
    EXPECT_EQ(left.count(name), 0u) << name << " should not have been written";
  if (fs::exists(dir / "expected")) {
    for (const auto& entry : fs::directory_iterator(dir / "expected")) {
      const std::string name = entry.path().filename().string();
      const std::string want = readFile(entry.path().string());
      auto found = left.find(name);
      if (found == left.end()) {
        ADD_FAILURE() << name << " was not written";
        continue;
      }
      EXPECT_TRUE(found->second == want) << name << ", " << firstDifference(want, found->second);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenCase, testing::ValuesIn(caseNames()),
                         [](const testing::TestParamInfo<std::string>& caseInfo) {
                           std::string name = caseInfo.param;
                           for (char& c : name)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
}  // namespace doc
