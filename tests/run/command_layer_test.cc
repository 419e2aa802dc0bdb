#include "run/command_layer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <regex>
#include <vector>

#include "temp_folder.h"

namespace doc {
namespace {

namespace fs = std::filesystem;

const Text kNotRecognized =
    "' is not recognized as an internal or external command,\r\noperable program or batch "
    "file.\r\n";
const Text kSyntaxError = "The syntax of the command is incorrect.\r\n";

// Every test runs in a fresh folder of its own.
class CommandLayerTest : public ::testing::Test {
 protected:
  static Text run(TextView line) {
    Text shown;
    interpretCommandLine(line, shown);
    return shown;
  }

  static std::vector<Text> folderNames() {
    std::vector<Text> names;
    for (const auto& entry : fs::directory_iterator(".")) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  TempFolder folder_;
};

std::vector<Text> linesOf(const Text& bytes) {
  std::vector<Text> lines;
  size_t at = 0;
  while (at < bytes.size()) {
    const size_t end = bytes.find("\r\n", at);
    if (end == Text::npos) {
      lines.push_back(bytes.substr(at));
      break;
    }
    lines.push_back(bytes.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

TEST_F(CommandLayerTest, CodePage) {
  EXPECT_EQ(run("chcp"), "Active code page: 65001\r\n");
  EXPECT_EQ(run("CHCP 65001"), "Active code page: 65001\r\n");
}

// The order of the real file system: capitals compared, so "_" sorts after the letters.
TEST_F(CommandLayerTest, BareListingSortsWithoutLetterCase) {
  for (const char* name : {"b.txt", "reporta.txt", "a.txt", "report_x.txt", "A.txt"}) {
    writeFile(name, "x");
  }
  fs::create_directory("Sub");
  EXPECT_EQ(run("dir /b"), "A.txt\r\na.txt\r\nb.txt\r\nreporta.txt\r\nreport_x.txt\r\nSub\r\n");
}

TEST_F(CommandLayerTest, PatternsSelectFilesIgnoringLetterCase) {
  for (const char* name : {"a.txt", "ab.txt", "notes.TXT", "a.txt.bak", "readme"}) {
    writeFile(name, "x");
  }
  fs::create_directory("d.txt");
  struct Case {
    const char* pattern;
    Text listed;
  };
  const Case cases[] = {
      {"*.txt", "a.txt\r\nab.txt\r\nnotes.TXT\r\n"},
      {"?.txt", "a.txt\r\n"},
      {"A*", "a.txt\r\na.txt.bak\r\nab.txt\r\n"},
      {"*", "a.txt\r\na.txt.bak\r\nab.txt\r\nlist.out\r\nnotes.TXT\r\nreadme\r\n"},
      {"A.TXT", "a.txt\r\n"},
      {"*e*m*", "readme\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(run(Text("dir /b ") + c.pattern + " > list.out"), "");
    EXPECT_EQ(readFile("list.out"), c.listed);
  }
  // No match: the message is not redirected and the output file stays empty.
  EXPECT_EQ(run("dir /b *.md > list.out"), "File Not Found\r\n");
  EXPECT_EQ(readFile("list.out"), "");
}

TEST_F(CommandLayerTest, RedirectionCreatesItsTargetBeforeTheCommandRuns) {
  writeFile("notes.txt", "x");
  const char* lines[] = {
      "dir /b > x.txt", "dir /b >x.txt",          "dir /b>x.txt",
      "dir > x.txt /b", "cmd /c dir /b  > x.txt", "cmd /c \"dir /b > x.txt\"",
  };
  for (const char* line : lines) {
    SCOPED_TRACE(line);
    fs::remove("x.txt");
    EXPECT_EQ(run(line), "");
    EXPECT_EQ(readFile("x.txt"), "notes.txt\r\nx.txt\r\n");
  }
}

TEST_F(CommandLayerTest, DoubleRedirectionAppends) {
  run("chcp > log.txt");
  run("chcp >> log.txt");
  EXPECT_EQ(readFile("log.txt"), "Active code page: 65001\r\nActive code page: 65001\r\n");
}

TEST_F(CommandLayerTest, FullListing) {
  writeFile("notes.txt", Text(1234, 'x'));
  fs::create_directory("Sub");
  std::tm local{};
  local.tm_year = 2024 - 1900;
  local.tm_mon = 4;
  local.tm_mday = 1;
  local.tm_hour = 21;
  local.tm_min = 5;
  local.tm_isdst = -1;
  const auto stamp = std::chrono::system_clock::from_time_t(std::mktime(&local));
  fs::last_write_time("notes.txt", std::chrono::file_clock::from_sys(stamp));

  EXPECT_EQ(run("dir > check_01.txt"), "");
  const Text listing = readFile("check_01.txt");
  ASSERT_GE(listing.size(), 2u);
  EXPECT_EQ(listing.substr(listing.size() - 2), "\r\n");
  const std::vector<Text> lines = linesOf(listing);
  ASSERT_EQ(lines.size(), 11u) << listing;
  EXPECT_EQ(lines[0], " Volume in drive / has no label.");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], " Directory of " + fs::current_path().string());
  EXPECT_EQ(lines[3], "");
  const std::string stampPattern = R"(\d\d/\d\d/\d{4}  \d\d:\d\d [AP]M)";
  EXPECT_TRUE(std::regex_match(lines[4], std::regex(stampPattern + R"(    <DIR>          \.)")));
  EXPECT_TRUE(std::regex_match(lines[5], std::regex(stampPattern + R"(    <DIR>          \.\.)")));
  // The target of the redirection is listed, still empty.
  EXPECT_TRUE(std::regex_match(lines[6], std::regex(stampPattern + R"( {17}0 check_01\.txt)")));
  EXPECT_EQ(lines[7], "05/01/2024  09:05 PM             1,234 notes.txt");
  EXPECT_TRUE(std::regex_match(lines[8], std::regex(stampPattern + R"(    <DIR>          Sub)")));
  EXPECT_EQ(lines[9], "               2 File(s)          1,234 bytes");
  EXPECT_TRUE(std::regex_match(lines[10], std::regex(R"( {15}3 Dir\(s\) +[0-9,]+ bytes free)")));
}

// The environment check's four lines in a row, as the program gives them.
TEST_F(CommandLayerTest, EnvironmentCheckFindsTheListedTextFiles) {
  writeFile("notes.txt", "x");
  writeFile("check_02.txt", "old");
  EXPECT_EQ(run("dir > check_01.txt"), "");
  EXPECT_EQ(run("del /q check_*.txt"), "");
  EXPECT_EQ(run("dir  > check_01.txt"), "");
  EXPECT_EQ(run("find /i \".txt\" check_01.txt > check_02.txt"), "");
  const std::vector<Text> lines = linesOf(readFile("check_02.txt"));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], "---------- CHECK_01.TXT");
  EXPECT_TRUE(lines[2].ends_with(" check_01.txt")) << lines[2];
  EXPECT_TRUE(lines[3].ends_with(" notes.txt")) << lines[3];
}

TEST_F(CommandLayerTest, FindInAFile) {
  writeFile("in.txt", "Alpha.TXT\r\nbeta\nGAMMA .txt");
  struct Case {
    const char* line;
    Text output;
    Text shown;
  };
  const Case cases[] = {
      {"find /i \".txt\" in.txt", "\r\n---------- IN.TXT\r\nAlpha.TXT\r\nGAMMA .txt\r\n", ""},
      {"find \".txt\" in.txt", "\r\n---------- IN.TXT\r\nGAMMA .txt\r\n", ""},
      {"find /I /V \".txt\" in.txt", "\r\n---------- IN.TXT\r\nbeta\r\n", ""},
      {"find /v \"\" in.txt", "\r\n---------- IN.TXT\r\nAlpha.TXT\r\nbeta\r\nGAMMA .txt\r\n", ""},
      {"find /i \".txt\" nope.txt", "", "File not found - NOPE.TXT\r\n"},
      {"find /i", "", "FIND: Parameter format not correct\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(run(Text(c.line) + " > found.out"), c.shown);
    EXPECT_EQ(readFile("found.out"), c.output);
  }
}

TEST_F(CommandLayerTest, PipeFiltersTheListing) {
  for (const char* name : {"notes.txt", "a_indent.txt", "B_INDENT.TXT", "a.txt", "x.htm"}) {
    writeFile(name, "x");
  }
  fs::create_directory("d.txt");
  EXPECT_EQ(run("dir /b *.txt | find /i /v \"indent\" > dir_a_01.txt"), "");
  EXPECT_EQ(readFile("dir_a_01.txt"), "a.txt\r\ndir_a_01.txt\r\nnotes.txt\r\n");
  // Without a redirection the filtered lines are shown.
  EXPECT_EQ(run("dir /b | find \"INDENT\""), "B_INDENT.TXT\r\n");
}

TEST_F(CommandLayerTest, CopyKeepsEveryByte) {
  const Text bytes("line\r\n\0\xff\x1a\rend", 13);
  writeFile("doc.txt", bytes);
  writeFile("sour_in.txt", Text(100, 'o'));  // longer than the copy: must not survive
  EXPECT_EQ(run("copy doc.txt sour_in.txt > out.list"), "");
  EXPECT_EQ(readFile("sour_in.txt"), bytes);
  EXPECT_EQ(readFile("out.list"), "        1 file(s) copied.\r\n");

  EXPECT_EQ(run("copy \"my notes.txt\" sour_in.txt > out.list"),
            "The system cannot find the file specified.\r\n");
  writeFile("my notes.txt", "mine");
  EXPECT_EQ(run("copy \"my notes.txt\" sour_in.txt > out.list"), "");
  EXPECT_EQ(readFile("sour_in.txt"), "mine");
}

TEST_F(CommandLayerTest, CopyFailures) {
  writeFile("my notes.txt", "mine");
  writeFile("kept.txt", "kept");
  struct Case {
    const char* line;
    Text shown;
    Text report;  // out.list
    bool copied;
  };
  const Case cases[] = {
      {"copy nope.txt sour_in.txt > out.list", "The system cannot find the file specified.\r\n",
       "        0 file(s) copied.\r\n", false},
      // A name with a blank, unquoted: three file words.
      {"copy my notes.txt sour_in.txt > out.list", kSyntaxError, "", false},
      {"copy > out.list", kSyntaxError, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    fs::remove("out.list");
    EXPECT_EQ(run(c.line), c.shown);
    EXPECT_EQ(readFile("out.list"), c.report);
    EXPECT_TRUE(fileExists("out.list"));
    EXPECT_EQ(fileExists("sour_in.txt"), c.copied);
  }
  // The chosen document may be the copy of an earlier run: it must stay whole.
  EXPECT_EQ(run("copy kept.txt kept.txt > out.list"), "The file cannot be copied onto itself.\r\n");
  EXPECT_EQ(run("copy kept.txt"),
            "The file cannot be copied onto itself.\r\n        0 file(s) copied.\r\n");
  EXPECT_EQ(readFile("kept.txt"), "kept");
  EXPECT_EQ(readFile("out.list"), "        0 file(s) copied.\r\n");
}

TEST_F(CommandLayerTest, DeleteRemovesMatchingFilesOnly) {
  for (const char* name : {"check_01.txt", "CHECK_02.TXT", "check.txt", "notes.txt"}) {
    writeFile(name, "x");
  }
  fs::create_directory("check_d.txt");
  writeFile("check_d.txt/inner.txt", "x");
  EXPECT_EQ(run("del /q check_*.txt"), "");
  EXPECT_EQ(folderNames(), (std::vector<Text>{"check.txt", "check_d.txt", "notes.txt"}));
  EXPECT_TRUE(fileExists("check_d.txt/inner.txt"));

  EXPECT_EQ(run("del /q check_*.txt"),
            "Could Not Find " + (fs::current_path() / "check_*.txt").string() + "\r\n");
}

TEST_F(CommandLayerTest, UnknownCommandRunsNothingAndWritesNoFile) {
  EXPECT_EQ(run("foo /x > out.txt"), "'foo" + kNotRecognized);
  EXPECT_EQ(run("dir /b | sort > out.txt"), "'sort" + kNotRecognized);
  EXPECT_EQ(run("\"my tool\" x"), "'\"my tool\"" + kNotRecognized);
  EXPECT_TRUE(folderNames().empty());
}

TEST_F(CommandLayerTest, MalformedLinesTouchNothing) {
  const char* lines[] = {
      "dir /b > a.txt > b.txt",
      "dir /b >",
      "dir /b > a.txt | find \"x\"",
      "| find \"x\"",
      "dir /b |",
      "dir /b < a.txt",
      "dir /b >> ",
      "> a.txt",
      "dir /b > \"\"",
  };
  for (const char* line : lines) {
    SCOPED_TRACE(line);
    EXPECT_EQ(run(line), kSyntaxError);
    EXPECT_TRUE(folderNames().empty());
  }
  EXPECT_EQ(run("   "), "");
}

// The program puts the chosen name into the copy line unquoted. Whatever it holds, no
// other command runs and no other file is written.
TEST_F(CommandLayerTest, FileNamesWithShellCharactersRunNothing) {
  struct Case {
    Text name;
    bool copied;
  };
  const Case cases[] = {
      {"a;touch pwned.txt", false},  // a blank: more than two file words
      {"a&touch pwned.txt", false},
      {"a&&touch${IFS}pwned.txt", true},  // no chaining: a plain name
      {"a;touch${IFS}pwned.txt", true},
      {"$(touch${IFS}pwned.txt).txt", true},
      {"`touch${IFS}pwned.txt`.txt", true},
      {"%COMSPEC%^&.txt", true},
      {"a|touch pwned.txt", false},       // a pipe into an unknown command
      {"a\"&touch pwned.txt&\"", false},  // the quotes hide the blank; no such file
      {"x>pwned.txt", false},             // a second redirection
      {"x<pwned.txt", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove("sour_in.txt");
    writeFile(c.name, "doc");
    run("copy " + c.name + " sour_in.txt > out.list");
    EXPECT_FALSE(fileExists("pwned.txt"));
    EXPECT_EQ(fileExists("sour_in.txt"), c.copied);
    if (c.copied) {
      EXPECT_EQ(readFile("sour_in.txt"), "doc");
    }
    EXPECT_EQ(readFile(c.name), "doc");
    fs::remove(c.name);
  }
}

TEST_F(CommandLayerTest, AmpersandsDoNotChainCommands) {
  writeFile("keep.txt", "x");
  for (const char* line : {"dir /b & del /q *.txt", "chcp && del /q *.txt", "del /q&del"}) {
    SCOPED_TRACE(line);
    EXPECT_NE(run(line), "");
    EXPECT_TRUE(fileExists("keep.txt"));
  }
}

TEST_F(CommandLayerTest, NameWithALineBreakIsNotListed) {
  writeFile("a\nb.txt", "x");
  writeFile("c.txt", "x");
  EXPECT_EQ(run("dir /b *.txt"), "c.txt\r\n");
}

}  // namespace
}  // namespace doc
