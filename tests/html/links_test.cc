#include "html/links.h"

#include <gtest/gtest.h>

#include <vector>

#include "html/escape.h"

namespace doc {
namespace {

struct EscapeCase {
  const char* what;
  Text text;
  Text escaped;
};

TEST(EscapeAngleBracketsTest, ReplacesOnlyAngleBrackets) {
  const std::vector<EscapeCase> cases = {
      {"empty", "", ""},
      {"no brackets", "plain & \"quoted\" 'text'", "plain & \"quoted\" 'text'"},
      {"a tag", "a<b>c", "a&lt;b&gt;c"},
      {"runs of brackets", "<<>>", "&lt;&lt;&gt;&gt;"},
      {"closing before opening", "x > y < z", "x &gt; y &lt; z"},
      {"entities already there stay", "&lt;&gt;&amp;", "&lt;&gt;&amp;"},
      {"bytes from 128 and NUL pass", Text("\x00\xff\xe9<\x80", 5),
       Text("\x00\xff\xe9&lt;\x80", 8)},
      {"bracket at both ends", ">mid<", "&gt;mid&lt;"},
  };
  for (const EscapeCase& c : cases) {
    EXPECT_EQ(escapeAngleBrackets(c.text), c.escaped) << c.what;
    Text reused = "left over from an earlier line";
    escapeAngleBracketsInto(c.text, reused);
    EXPECT_EQ(reused, c.escaped) << c.what << " (into a used buffer)";
  }
}

TEST(EscapeAngleBracketsTest, BracketAtEveryPositionOfALongLine) {
  // Lines are scanned eight bytes at a time; a bracket may stand anywhere in a word, and
  // the bytes next to "<" and ">" (";", "=", "?", "|", "~") must not be taken for them.
  const Text filler = "ab=;?|~=¼¾";
  for (size_t length = 1; length <= 40; ++length) {
    for (size_t at = 0; at < length; ++at) {
      Text line;
      for (size_t i = 0; i < length; ++i) line.push_back(filler[i % filler.size()]);
      Text expected = line;
      line[at] = at % 2 ? '<' : '>';
      expected.replace(at, 1, at % 2 ? "&lt;" : "&gt;");
      EXPECT_EQ(escapeAngleBrackets(line), expected) << length << " " << at;
    }
    Text plain;
    for (size_t i = 0; i < length; ++i) plain.push_back(filler[i % filler.size()]);
    EXPECT_EQ(escapeAngleBrackets(plain), plain) << length;
  }
}

struct LinkCase {
  const char* what;
  Text line;
  int64_t position;
  Text linked;
};

TEST(LinkFirstAddressTest, LinksTheAddressUpToTheFirstBlank) {
  const std::vector<LinkCase> cases = {
      {"address inside a line", "see http://a.b/c now", 5,
       "see <a href=\"http://a.b/c\">http://a.b/c</a> now"},
      {"address ends the line: one blank follows", "http://x.y", 1,
       "<a href=\"http://x.y\">http://x.y</a> "},
      {"capitals kept, blanks after kept", "go HTTP://A.B  end", 4,
       "go <a href=\"HTTP://A.B\">HTTP://A.B</a>  end"},
      {"only the first address", "x https://s a http://t", 3,
       "x <a href=\"https://s\">https://s</a> a http://t"},
      {"escaped brackets stay in the address", "&lt;http://a&gt; z", 5,
       "&lt;<a href=\"http://a&gt;\">http://a&gt;</a> z"},
      {"file address", "file:///c:/x.txt", 1, "<a href=\"file:///c:/x.txt\">file:///c:/x.txt</a> "},
      {"a tab does not end the address", "http://a\tb c", 1,
       "<a href=\"http://a\tb\">http://a\tb</a> c"},
      {"marker inside a word", "wordhttp://x y", 5, "word<a href=\"http://x\">http://x</a> y"},
      {"blanks before the marker kept", "   http://x", 4, "   <a href=\"http://x\">http://x</a> "},
  };
  for (const LinkCase& c : cases) {
    EXPECT_EQ(linkFirstAddress(c.line, c.position), c.linked) << c.what;
    Text reused = "left over";
    linkFirstAddressInto(c.line, c.position, reused);
    EXPECT_EQ(reused, c.linked) << c.what << " (into a used buffer)";
  }
}

struct BoldCase {
  const char* what;
  Text line;
  bool passes;
};

TEST(BoldPassThroughTest, FirstClosingTagMustEndTheTrimmedLine) {
  const std::vector<BoldCase> cases = {
      {"bold line", "<b>Title</b>", true},
      {"capitals and surrounding blanks", "   <B>Title</B>  ", true},
      {"mixed case tags", "<b>x</B>", true},
      {"opening tag alone", "<b>", true},
      {"opening tag alone with blanks and capital", "  <B>  ", true},
      {"empty bold", "<b></b>", true},
      {"inner markup before the closing tag", "<b>a <i>b</i></b>", true},
      {"text after the closing tag", "<b>a</b> more", false},
      {"two bold runs", "<b>a</b> and <b>b</b>", false},
      {"text before the opening tag", "x <b>a</b>", false},
      {"no closing tag", "<b>abc", false},
      {"cut closing tag", "<b>a</b", false},
      {"tab before is no blank", "\t<b>a</b>", false},
      {"tab after is no blank", "<b>a</b>\t", false},
      {"attribute in the tag", "<b >a</b>", false},
      {"empty line", "", false},
      {"blanks only", "   ", false},
      {"other tag", "<br>", false},
  };
  for (const BoldCase& c : cases) EXPECT_EQ(isBoldPassThrough(c.line), c.passes) << c.what;
}

}  // namespace
}  // namespace doc
