// The scans that take eight bytes at a time against the plain rules they stand for: lower
// a copy and search it, escape a copy, skip blanks one by one. The address scan looks for
// byte pairs first, so the cases put markers and near-misses at every place of lines of
// many lengths, across the eight-byte steps and at both ends.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "html/escape.h"
#include "html/links.h"

namespace doc {
namespace {

// The rule as stated: the first "http" of the lowered line, else its first "file:///".
size_t plainAddressMarker(TextView line) {
  const Text lowered = toLowerAscii(line);
  const size_t http = lowered.find("http");
  return http != Text::npos ? http : lowered.find("file:///");
}

TEST(AddressMarkerTest, PlainCases) {
  const struct {
    const char* what;
    Text line;
    size_t expected;
  } cases[] = {
      {"empty", "", TextView::npos},
      {"nothing", "the letter was written after attention", TextView::npos},
      {"http alone", "http", 0},
      {"capitals", "see HTTPS://X", 4},
      {"mixed case", "a hTtP b", 2},
      {"file alone", "file:///", 0},
      {"file in capitals", "x FILE:///c", 2},
      {"http after file wins", "file:///a http://b", 10},
      {"first of two", "http1 http2", 0},
      {"cut short at the end", "htt", TextView::npos},
      {"file cut short", "file://", TextView::npos},
      {"near misses", "ttp h ttp fil:/// file:// :/ tt", TextView::npos},
      {"overlapping t's", "htttp http", 6},
      {"bytes from 128", Text("\xd4\xd4p http", 8), 4},
      {"t at bit 5 only", "hTTp", 0},
      {"colon and slash without file", "a:/b://c:///", TextView::npos},
  };
  for (const auto& c : cases) EXPECT_EQ(findAddressMarker(c.line), c.expected) << c.what;
}

TEST(AddressMarkerTest, EveryPlaceInLinesOfManyLengths) {
  const std::vector<Text> markers = {"http", "HTTP",    "hTtP", "file:///", "FiLe:///",
                                     "htt",  "file://", "tt",   ":/",       "ttp"};
  // Fillers full of the bytes the scan looks at, and of their neighbours in the byte table.
  const std::vector<Text> fillers = {"abc ", "t:/T", "tT", "/:", "\x54\x74\x3a\x2f\x34\x14",
                                     "h",    "f"};
  for (const Text& filler : fillers) {
    for (size_t length = 0; length <= 40; ++length) {
      Text base;
      for (size_t i = 0; i < length; ++i) base.push_back(filler[i % filler.size()]);
      EXPECT_EQ(findAddressMarker(base), plainAddressMarker(base)) << base;
      for (const Text& marker : markers) {
        for (size_t at = 0; at <= length; ++at) {
          Text line = base;
          line.insert(at, marker);
          EXPECT_EQ(findAddressMarker(line), plainAddressMarker(line)) << line;
          // A second marker later in the line must not change the answer.
          Text two = line + " " + markers[(at + length) % markers.size()];
          EXPECT_EQ(findAddressMarker(two), plainAddressMarker(two)) << two;
        }
      }
    }
  }
}

TEST(AddressMarkerTest, RandomLinesOfMarkerPieces) {
  const std::vector<Text> pieces = {"h", "H", "t", "T", "p", "P", "f", "F", "i",
                                    "l", "e", ":", "/", " ", "x", "<", ">", "\xff"};
  uint64_t state = 12345;
  for (int n = 0; n < 20000; ++n) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    const size_t length = static_cast<size_t>(state >> 58);
    Text line;
    for (size_t i = 0; i < length; ++i) {
      state = state * 6364136223846793005u + 1442695040888963407u;
      line += pieces[static_cast<size_t>(state >> 33) % pieces.size()];
    }
    ASSERT_EQ(findAddressMarker(line), plainAddressMarker(line)) << line;
  }
}

TEST(EscapeViewTest, SameAsTheCopyAndTheLineItselfWhenNothingIsEscaped) {
  Text buffer;
  for (size_t length = 0; length <= 24; ++length) {
    for (size_t at = 0; at <= length; ++at) {
      Text line(length, 'a');
      const TextView plain = escapeAngleBracketsView(line, buffer);
      EXPECT_EQ(plain.data(), line.data()) << "a plain line is not copied";
      EXPECT_EQ(plain, line);
      if (at == length) continue;
      line[at] = at % 2 ? '<' : '>';
      EXPECT_EQ(escapeAngleBracketsView(line, buffer), escapeAngleBrackets(line)) << line;
    }
  }
}

TEST(TrimLeadingBlanksTest, EveryCountOfBlanksBeforeEveryKindOfByte) {
  // A tab, a byte with the blank's bits and more, NUL and a byte from 128 end the blanks.
  const Text ends[] = {"x", "\t", "\x60", "!", Text(1, '\0'), "\xa0"};
  for (size_t blanks = 0; blanks <= 40; ++blanks) {
    const Text only(blanks, ' ');
    EXPECT_EQ(trimLeadingBlanks(only), "") << blanks;
    for (const Text& end : ends) {
      for (size_t tail = 0; tail <= 9; ++tail) {
        const Text rest = end + Text(tail, tail % 2 ? ' ' : 'y');
        EXPECT_EQ(trimLeadingBlanks(only + rest), rest) << blanks << " " << tail;
        EXPECT_EQ(trimBlanks(only + rest), trimTrailingBlanks(rest)) << blanks << " " << tail;
      }
    }
  }
}

}  // namespace
}  // namespace doc
