#include "run/identity.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "run/console.h"
#include "run/process.h"
#include "temp_folder.h"

namespace doc {
namespace {

TEST(SiteFromPathTest, MarkersLinksAndFileNames) {
  struct Case {
    Text path;
    Text siteLink;
    Text programFileName;
  };
  const Case cases[] = {
      // Folders before the marker are dropped; letter case never reaches the results.
      {"C:\\Tools\\www.MySite.exe", "http://www.mysite", "www.mysite.exe"},
      {"WWW.MYSITE.EXE", "http://www.mysite", "www.mysite.exe"},
      {"http.MySite.exe", "http://mysite", "http.mysite.exe"},
      // "https." holds no "http.", so it is reached as the third marker.
      {"HTTPS.MySite.EXE", "https://mysite", "https.mysite.exe"},
      // The bare name loses its last four bytes all the same.
      {"www.mysite", "http://www.my", "www.my.exe"},
      // The last occurrence decides.
      {"www.a.www.mysite.exe", "http://www.mysite", "www.mysite.exe"},
      {"http.a.http.b.exe", "http://b", "http.b.exe"},
      // "www." is tried first, wherever it stands.
      {"https.www.mysite.exe", "http://www.mysite", "www.mysite.exe"},
      {"www.a.https.b.exe", "http://www.a.https.b", "www.a.https.b.exe"},
      // A marker in a folder name: the rest of the path passes into the link.
      {"C:\\www.x\\tool.exe", "http://www.x\\tool", "www.x\\tool.exe"},
      // A marker and nothing after it.
      {"www..exe", "http://www.", "www..exe"},
      {"http..exe", "http://", "http..exe"},
      // Blanks: the file name is trimmed, the link is not; leading blanks shorten the cut.
      {"www.my site .exe", "http://www.my site ", "www.my site.exe"},
      {"  www.abcd.exe", "http://www.ab", "www.ab.exe"},
      {"www.site.exe  ", "http://www.site", "www.site.exe"},
      // Bytes above 127 pass unchanged, only A to Z are lowered.
      {"www.Caf\xC9.exe", "http://www.caf\xC9", "www.caf\xC9.exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const SiteIdentity site = siteFromPath(c.path);
    EXPECT_TRUE(site.found);
    EXPECT_EQ(site.siteLink, c.siteLink);
    EXPECT_EQ(site.programFileName, c.programFileName);
  }
}

TEST(SiteFromPathTest, PathsWithoutMarker) {
  const Text paths[] = {
      "",
      "ww",
      "C:\\Tools\\margolan_free_01_032.exe",
      "/usr/local/bin/tool",
      "https://www",  // no dot after "www", and "https:" is no marker
      "abc.www.",     // the marker lies in the four bytes that are cut
      "www_site.exe",
      "   www.",  // trimmed to four bytes, all of them cut
  };
  for (const Text& path : paths) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(siteFromPath(path).found);
  }
}

TEST(SiteFromPathTest, ManyOccurrencesStayLinear) {
  Text path;
  for (int i = 0; i < 200000; ++i) path += "www.";
  path += "end.exe";
  const SiteIdentity site = siteFromPath(path);
  EXPECT_EQ(site.siteLink, "http://www.end");
  EXPECT_EQ(site.programFileName, "www.end.exe");
}

TEST(IdentifyProgramTest, PrintsNamePathLinkAndFileName) {
  setInvocationPath("C:\\Tools\\WWW.MySite.exe");
  Text console;
  setConsoleSink(&console);
  RunSettings settings;
  const Text displayName = identifyProgram(settings);
  setConsoleSink(nullptr);

  EXPECT_EQ(displayName, "margolan_free_01_032.exe");
  EXPECT_EQ(settings.siteLink, "http://www.mysite");
  EXPECT_EQ(settings.programFileName, "www.mysite.exe");
  EXPECT_EQ(console,
            "margolan_free_01_032.exe\r\n"
            "\r\n"
            "C:\\Tools\\WWW.MySite.exe\r\n"
            "http://www.mysite\r\n"
            "www.mysite.exe\r\n");
}

// The rename instructions end the process inside waitForOne; with no key to come the wait
// ends as a key press would, and the console bytes are left in a file for the test.
TEST(IdentifyProgramDeathTest, NoMarkerShowsRenameInstructionsAndEnds) {
  TempFolder folder;
  EXPECT_EXIT(
      {
        const int out = open("console.out", O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int in = open("/dev/null", O_RDONLY);
        dup2(out, 1);
        dup2(in, 0);
        setConsoleSink(nullptr);
        setInvocationPath("D:\\Apps\\Tool.EXE");
        RunSettings settings;
        identifyProgram(settings);
      },
      ::testing::ExitedWithCode(0), "");
  const Text rule = "----------------------------\r\n";
  EXPECT_EQ(readFile("console.out"),
            "margolan_free_01_032.exe\r\n"
            "\r\n"
            "D:\\Apps\\Tool.EXE\r\n"
            "\r\n" +
                rule +
                "The program creates web link to (your) website, which is summarized in the "
                "program name.\r\n"
                "Therefore, you must rename the program according to the name of (your) "
                "website, but the condition is that the\r\n"
                "new program name begins with www...(like www.example.org.exe), http...(like "
                "http.example.net.exe, or https...(like https.example.com.exe)\r\n"
                "BE CAREFUL AND COPY AND RENAME THE PROGRAM ACCORDING TO THE INSTRUCTIONS!\r\n" +
                rule +
                "\r\n"
                "<1> = continue and end\r\n");
}

}  // namespace
}  // namespace doc
