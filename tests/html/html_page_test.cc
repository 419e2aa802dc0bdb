#include "html/html_page.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "run/console.h"
#include "run/home_page.h"
#include "chapter_rows.h"
#include "temp_folder.h"

namespace doc {
namespace {

namespace fs = std::filesystem;

// Each test runs in a fresh folder of its own (TempFolder), with console output captured.
class HtmlPageTest : public ::testing::Test {
 protected:
  void SetUp() override { setConsoleSink(&console_); }
  void TearDown() override { setConsoleSink(nullptr); }

  static RunSettings settings(bool tocWanted) {
    RunSettings s;
    s.siteLink = "http://www.site.com";
    s.programFileName = "www.site.exe";
    s.inputFileName = "rep.txt";
    s.baseName = "rep";
    s.tocWanted = tocWanted;
    return s;
  }

  Text console_;

 private:
  TempFolder folder_;
};

Text joinLines(const std::vector<Text>& lines) {
  Text bytes;
  for (const Text& line : lines) bytes += line + "\r\n";
  return bytes;
}

// The page's 33 opening lines, as the page must show them.
std::vector<Text> openingLines(const Text& programFileName, const Text& siteLink) {
  const Text home(homePageAddress);
  return {
      "<!DOCTYPE HTML=HTML PUBLIC=PUBLIC \"-//W3C//DTD HTML 4.0 TRANSITIONAL//EN\"=\"-//W3C//"
      "DTD HTML 4.0 Transitional//EN\">",
      "<html>",
      "<head>",
      "<br>",
      "<meta HTTP-EQUIV=\"content-type\" CONTENT=\"text/html; charset= UTF-8\">",
      "<br>",
      "<br>",
      "</head>",
      "<body>",
      "<body>",
      "<br> <b> PROMOTE YOUR BRAND WITH OUR PROGRAM </b>",
      "<br>",
      "<br>",
      "<br> This space is reserved for your advertising message and web links.",
      "<br> The advertising message is limited to 10 lines or 500 characters.",
      "<br> The program is tailored individually for each client.",
      "<br>",
      "<br> More info: <a href=\"" + home + "\">" + home + "</a>",
      "<br>",
      "<br>",
      "<br>",
      "<b> MARGOLAN </b>",
      "<br>",
      "This document was created using program: " + programFileName,
      "<br>",
      "<br>",
      "Useful link :",
      "<br>",
      "<a href=\"" + siteLink + "\">" + siteLink + "</a>",
      "<br>",
      "<br>",
      "<pre>",
      "<p style=\"font-family:Arial; font-size:100%;\">",
  };
}

const Text kClosing = "</>\r\n<br>\r\n<br>\r\n</body>\r\n</html>\r\n";
const Text kEmptyContents = "<b>TABLE OF CONTENTS</b>\r\n<br>\r\n";

TEST(HtmlPageOpeningTest, TheOpeningLinesHaveTheirStatedLengths) {
  const std::vector<Text> lines = openingLines("p", "s");
  ASSERT_EQ(lines.size(), 33u);
  EXPECT_EQ(lines[0].size(), 114u);
  EXPECT_EQ(lines[4].size(), 68u);
  EXPECT_EQ(lines[32].size(), 46u);
}

TEST_F(HtmlPageTest, AnEmptyIndentedFileGivesTheFrameAlone) {
  const Text opening = joinLines(openingLines("www.site.exe", "http://www.site.com"));
  for (const bool toc : {false, true}) {
    SCOPED_TRACE(toc ? "with contents" : "without contents");
    writeFile("rep_indent.txt", "");
    writeHtmlPage(settings(toc), tableOf({row(1, "1.")}));
    EXPECT_EQ(readFile("rep_indent.htm"), opening + (toc ? kEmptyContents : "") + kClosing);
  }
}

TEST_F(HtmlPageTest, AMissingIndentedFileGivesTheFrameAlone) {
  writeHtmlPage(settings(true), tableOf({}));
  EXPECT_EQ(
      readFile("rep_indent.htm"),
      joinLines(openingLines("www.site.exe", "http://www.site.com")) + kEmptyContents + kClosing);
}

TEST_F(HtmlPageTest, TheBodyReadsTheIndentedFileFromItsFirstLine) {
  const Text opening = joinLines(openingLines("www.site.exe", "http://www.site.com"));
  const Text body =
      "Intro\r\n"
      "  <span style=\"color:blue\"; ID=\"1.\"><b>1. A</b></span>\r\n"
      "  text\r\n";
  const Text contents =
      "<b>TABLE OF CONTENTS</b>\r\n"
      "  <b>1. A <a href=\"#1.\">1.</a> </b>\r\n"
      "<br>\r\n";
  for (const bool toc : {false, true}) {
    SCOPED_TRACE(toc ? "with contents" : "without contents");
    writeFile("rep_indent.txt", "Intro\r\n  1. A\r\n  text\r\n");
    writeHtmlPage(settings(toc), tableOf({row(2, "1.")}));
    EXPECT_EQ(readFile("rep_indent.htm"), opening + (toc ? contents : "") + body + kClosing);
  }
}

TEST_F(HtmlPageTest, ProgramNameAndSiteLinkAreWrittenUnescaped) {
  RunSettings s = settings(false);
  s.programFileName = "www.a<b>&c.exe";
  s.siteLink = "http://www.a<b>&c";
  writeFile("rep_indent.txt", "");
  writeHtmlPage(s, tableOf({}));
  EXPECT_EQ(readFile("rep_indent.htm"),
            joinLines(openingLines("www.a<b>&c.exe", "http://www.a<b>&c")) + kClosing);
}

TEST_F(HtmlPageTest, AnnouncesThePageOnTheConsole) {
  ASSERT_EQ(TextView(homePageAddress).substr(0, 20), "https://example.org/");
  writeFile("rep_indent.txt", "");
  writeHtmlPage(settings(false), tableOf({}));
  EXPECT_EQ(console_, "rep_indent.htm\r\n\r\nInfo: example.org\r\n");
}

}  // namespace
}  // namespace doc
