// The program's identity and the site link made from its own file name.
#include "run/identity.h"

#include <utility>

#include "run/console.h"
#include "run/process.h"
#include "run/waits.h"

namespace doc {

namespace {

struct SiteMarker {
  TextView marker;
  TextView linkPrefix;
};

// Tried in this order: a later marker counts only when no earlier one occurs at all, so
// "https." is reached only by names without "www." and "http.".
constexpr SiteMarker kSiteMarkers[] = {
    {"www.", "http://www."},
    {"http.", "http://"},
    {"https.", "https://"},
};

// Names in the reserved documentation domains, so the instructions point at no real site.
constexpr TextView kExampleWww = "www.example.org.exe";
constexpr TextView kExampleHttp = "http.example.net.exe";
constexpr TextView kExampleHttps = "https.example.com.exe";

constexpr TextView kRule = "----------------------------";

[[noreturn]] void showRenameInstructions() {
  printLine();
  printLine(kRule);
  printLine(
      "The program creates web link to (your) website, which is summarized in the program "
      "name.");
  printLine(
      "Therefore, you must rename the program according to the name of (your) website, but "
      "the condition is that the");
  printText("new program name begins with www...(like ");
  printText(kExampleWww);
  printText("), http...(like ");
  printText(kExampleHttp);
  printText(", or https...(like ");
  printText(kExampleHttps);
  printLine(")");
  printLine("BE CAREFUL AND COPY AND RENAME THE PROGRAM ACCORDING TO THE INSTRUCTIONS!");
  printLine(kRule);
  printLine();
  waitForOne();
}

// The built-in name with "exe" for its own three-letter extension.
Text displayNameOf(TextView builtIn) {
  return Text(sliceText(builtIn, 1, static_cast<int64_t>(builtIn.size()) - 3)) + "exe";
}

}  // namespace

SiteIdentity siteFromPath(TextView path) {
  // The length is taken after trimming but the cut is made on the path as received, so
  // leading blanks shorten the work text; the last four bytes go even without ".exe".
  const auto trimmedLength = static_cast<int64_t>(trimBlanks(path).size());
  const Text lowered = toLowerAscii(sliceText(path, 1, trimmedLength - 4));
  TextView work = lowered;

  const SiteMarker* chosen = nullptr;
  for (const SiteMarker& marker : kSiteMarkers) {
    if (findFrom(work, marker.marker, 1) > 0) {
      chosen = &marker;
      break;
    }
  }
  SiteIdentity site;
  if (chosen == nullptr) return site;

  // Each occurrence restarts the site name, so the last one decides; the work text
  // shrinks past every occurrence, which keeps the search linear in the path's length.
  const auto markerLength = static_cast<int64_t>(chosen->marker.size());
  TextView siteName;
  for (int64_t pos = findFrom(work, chosen->marker, 1); pos > 0;
       pos = findFrom(work, chosen->marker, 1)) {
    siteName = sliceText(work, pos, -1);
    work = sliceText(work, pos + markerLength, -1);
  }
  site.found = true;
  site.siteLink = Text(chosen->linkPrefix) + Text(work);
  site.programFileName = Text(trimBlanks(siteName)) + ".exe";
  return site;
}

Text identifyProgram(RunSettings& settings) {
  printLine(builtInName);
  printLine();
  Text displayName = displayNameOf(builtInName);
  const Text path = invocationPath();
  printLine(path);

  SiteIdentity site = siteFromPath(path);
  if (!site.found) showRenameInstructions();
  settings.siteLink = std::move(site.siteLink);
  settings.programFileName = std::move(site.programFileName);
  printLine(settings.siteLink);
  printLine(settings.programFileName);
  return displayName;
}

}  // namespace doc
