// The start-up dialogue through the whole program: which answers choose which document,
// what the list shows in different folders, and the scratch files the checks leave.
#include <gtest/gtest.h>

#include "e2e/program_run.h"

namespace doc {
namespace {

constexpr const char* kOutOfRange = "line number is out of range\r\n\r\n<...> any key for continue, end\r\n";

// The bytes of the console from "input file: " up to the end of that line.
std::string chosenDocument(const std::string& console) {
  const size_t at = console.find("input file: ");
  if (at == std::string::npos) return "";
  const size_t from = at + 12;
  return console.substr(from, console.find("\r\n", from) - from);
}

// A folder holding a.txt and b.txt; after the checks the list reads check_01.txt,
// check_02.txt, dir_a_01.txt, a.txt... sorted without regard to case: a, b, check_01,
// check_02, dir_a_01.
struct FileNumberCase {
  const char* answer;
  const char* chosen;  // "" when the number is refused
};

TEST(StartDialogue, FileNumberAnswers) {
  const FileNumberCase cases[] = {
      {"1", "a.txt"},        {"2", "b.txt"},         {"2.5", "b.txt"},  // halves to even
      {"2.6", "check_01.txt"}, {"5", "dir_a_01.txt"}, {"0", ""},
      {"-1", ""},            {"abc", ""},            {"", ""},
      {"6", ""},             {"99999999999", ""},    {"-99999999999", ""},
      {"&HFFFFFFFF", ""},    {"&HFFFFFFFFFF", ""},   {"  2 , 9", "b.txt"},
  };
  for (const FileNumberCase& c : cases) {
    SCOPED_TRACE(c.answer);
    ProgramRun run;
    run.addFile("a.txt", "1. A\r\n");
    run.addFile("b.txt", "1. B\r\n");
    const ProgramResult result = run.run(std::string(c.answer) + "\n\n\n");
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(chosenDocument(result.console), c.chosen);
    const bool refused = *c.chosen == '\0';
    EXPECT_EQ(result.console.ends_with(kOutOfRange), refused);
    EXPECT_EQ(run.files().count("sour_in.txt"), refused ? 0u : 1u);
  }
}

TEST(StartDialogue, AFolderWithoutDocumentsListsTheCheckFiles) {
  ProgramRun run;
  const ProgramResult result = run.run("1\n\n\n");
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_NE(result.console.find(" 1 check_01.txt\r\n 2 check_02.txt\r\n 3 dir_a_01.txt\r\n---"),
            std::string::npos);
  // check_01.txt holds a listing, not chapters: the run ends at the chapter check.
  EXPECT_EQ(chosenDocument(result.console), "check_01.txt");
  EXPECT_TRUE(result.console.ends_with(
      "The file does not have a chapter marked.\r\n<...> any key for continue, end\r\n"));
}

TEST(StartDialogue, IndentNamesAreNeverListedButEarlierResultsAre) {
  ProgramRun run;
  run.addFile("notes.txt", "1. A\r\n");
  run.addFile("notes_indent.txt", "old");
  run.addFile("NOTES_INDENT.TXT", "old");
  run.addFile("Indented.txt", "old");
  run.addFile("notes_chapters.txt", "old");
  run.addFile("notes_table.txt", "old");
  const ProgramResult result = run.run("0\n");
  EXPECT_NE(result.console.find(" 1 check_01.txt\r\n 2 check_02.txt\r\n 3 dir_a_01.txt\r\n"
                                " 4 notes.txt\r\n 5 notes_chapters.txt\r\n 6 notes_table.txt\r\n---"),
            std::string::npos)
      << result.console;
  EXPECT_EQ(result.console.find("ndent"), result.console.find("indent increment"));
}

TEST(StartDialogue, IncrementAndContentsAnswers) {
  struct Case {
    const char* increment;
    const char* contents;
    const char* indented;  // the indented heading line
    bool toc;
  };
  const Case cases[] = {
      {"3", "", "   1. A", false},      {"", "n", "  1. A", true},
      {"0", "no", "  1. A", true},      {"-4", "0", "  1. A", true},
      {"word", "  ", "  1. A", false},  {"1.5", ",yes", "  1. A", false},
      {"1", "\"\"", " 1. A", false},    {"5000", "y", nullptr, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.increment) + "/" + c.contents);
    ProgramRun run;
    run.addFile("a.txt", "1. A\r\n");
    const ProgramResult result =
        run.run(std::string("1\n") + c.increment + "\n" + c.contents + "\n");
    EXPECT_EQ(result.exitStatus, 0);
    const auto files = run.files();
    const std::string& indented = files.at("a_indent.txt");
    if (c.indented != nullptr) {
      EXPECT_EQ(indented, std::string(c.indented) + "\r\n");
    } else {
      // The step is bounded, so the widest line stays small whatever was typed.
      EXPECT_EQ(indented, std::string(1000, ' ') + "1. A\r\n");
    }
    EXPECT_EQ(files.at("a_indent.htm").find("TABLE OF CONTENTS") != std::string::npos, c.toc);
  }
}

TEST(StartDialogue, BaseNames) {
  struct Case {
    const char* name;
    const char* base;
    const char* number;  // its place in the list, among check_01, check_02 and dir_a_01
  };
  const Case cases[] = {
      {"Report.TXT", "Report", "4"}, {"a.txt.txt", "a", "1"}, {"x.txtfile.txt", "x", "4"},
      {"my notes.txt", "my notes", "4"},
  };
  for (const auto& [name, base, number] : cases) {
    SCOPED_TRACE(name);
    ProgramRun run;
    run.addFile(name, "1. A\r\n");
    const ProgramResult result = run.run(std::string(number) + "\n\n\n");
    EXPECT_EQ(chosenDocument(result.console), name);
    const auto files = run.files();
    for (const char* suffix : {"_chapters.txt", "_indent.txt", "_indent.htm"})
      EXPECT_EQ(files.count(std::string(base) + suffix), 1u) << suffix;
  }
}

TEST(StartDialogue, ScratchFilesHoldWhatTheChecksExpect) {
  ProgramRun run;
  run.addFile("notes.txt", "1. A\r\n");
  const ProgramResult result = run.run("4\n\n\n");
  ASSERT_EQ(chosenDocument(result.console), "notes.txt");
  const auto files = run.files();
  // A full listing of the folder, one entry per line.
  EXPECT_NE(files.at("check_01.txt").find(" notes.txt\r\n"), std::string::npos);
  // find's heading line, then the listing lines that hold ".txt".
  const std::string& found = files.at("check_02.txt");
  EXPECT_TRUE(found.starts_with("\r\n---------- CHECK_01.TXT\r\n")) << found;
  EXPECT_NE(found.find(" notes.txt\r\n"), std::string::npos);
  EXPECT_EQ(files.at("dir_a_01.txt"), "check_01.txt\r\ncheck_02.txt\r\ndir_a_01.txt\r\nnotes.txt\r\n");
  EXPECT_EQ(files.at("sour_in.txt"), "1. A\r\n");
  EXPECT_EQ(files.at("out.list"), "        1 file(s) copied.\r\n");
}

}  // namespace
}  // namespace doc
