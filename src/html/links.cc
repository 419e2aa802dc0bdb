// Links for addresses and the bold pass-through test.
#include "html/links.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace doc {

namespace {

constexpr uint64_t kOnes = 0x0101010101010101u;

// Whether any byte of the word is zero. (The usual test: it never reports a zero byte
// where there is none, which is all that is asked of it here.)
bool hasZeroByte(uint64_t word) { return ((word - kOnes) & ~word & (0x80 * kOnes)) != 0; }

uint64_t loadWord(const char* at) {
  uint64_t word;
  std::memcpy(&word, at, 8);
  return word;
}

// A byte lowered, for the letters of the markers: bit 5 set turns A to Z into a to z, and
// no other byte into a lower-case letter.
char lowerLetter(char c) { return static_cast<char>(c | 0x20); }

}  // namespace

size_t findAddressMarker(TextView line) {
  // Every line of the page is searched for both markers, and a line rarely holds either,
  // so the search runs once over the line, without a lowered copy, and looks for the
  // pairs of bytes that the markers hold and ordinary text seldom does: "tt" (in any
  // case) as in "http", and ":/" as in "file:///". Only where a word of eight bytes holds
  // one of them is each place looked at in full. The place q of a pair is that of the
  // second byte of "http" and of the fifth of "file:///", so the pairs come in the order of
  // the markers' places, and the first full match of each marker is its first place.
  const size_t size = line.size();
  const char* bytes = line.data();
  size_t fileAt = TextView::npos;
  // Whether "http" begins at q - 1; records the first "file:///", at q - 4.
  const auto markerAt = [&](size_t q) {
    if (lowerLetter(bytes[q]) == 't' && lowerLetter(bytes[q + 1]) == 't') {
      if (q >= 1 && startsWithLowered(line.substr(q - 1), "http")) return true;
    } else if (bytes[q] == ':' && bytes[q + 1] == '/') {
      if (fileAt == TextView::npos && q >= 4 && startsWithLowered(line.substr(q - 4), "file:///"))
        fileAt = q - 4;
    }
    return false;
  };
  size_t q = 0;
  // The pairs that begin at q .. q + 15, from the sixteen bytes at q and those a byte on.
  for (; q + 17 <= size; q += 16) {
    const Bytes16 first = loadBytes16(bytes + q);
    const Bytes16 second = loadBytes16(bytes + q + 1);
    const auto pairT = ((first | 0x20) == 't') & ((second | 0x20) == 't');
    const auto pairColonSlash = (first == ':') & (second == '/');
    if (!anyByteSet(pairT | pairColonSlash)) continue;
    for (size_t at = q; at < q + 16; ++at) {
      if (markerAt(at)) return at - 1;
    }
  }
  // The same eight at a time, then one by one, for what is left.
  for (; q + 9 <= size; q += 8) {
    const uint64_t first = loadWord(bytes + q);
    const uint64_t second = loadWord(bytes + q + 1);
    const uint64_t pairT = ((first | 0x20 * kOnes) ^ ('t' * kOnes)) |
                           ((second | 0x20 * kOnes) ^ ('t' * kOnes));
    const uint64_t pairColonSlash = (first ^ (':' * kOnes)) | (second ^ ('/' * kOnes));
    if (!hasZeroByte(pairT) && !hasZeroByte(pairColonSlash)) continue;
    for (size_t at = q; at < q + 8; ++at) {
      if (markerAt(at)) return at - 1;
    }
  }
  for (; q + 1 < size; ++q) {
    if (markerAt(q)) return q - 1;
  }
  return fileAt;
}

void linkFirstAddressInto(TextView line, int64_t position, Text& out) {
  // Clamped so that a position outside the line cannot read outside it.
  const size_t at = position < 1 ? 0 : std::min(static_cast<size_t>(position - 1), line.size());
  const TextView before = line.substr(0, at);
  const TextView rest = line.substr(at);
  const size_t blank = rest.find(' ');
  const TextView address = blank == TextView::npos ? rest : rest.substr(0, blank);
  const TextView after = blank == TextView::npos ? TextView(" ") : rest.substr(blank);
  out.clear();
  out.reserve(line.size() + address.size() + 20);
  out.append(before);
  out.append("<a href=\"");
  out.append(address);
  out.append("\">");
  out.append(address);
  out.append("</a>");
  out.append(after);
}

Text linkFirstAddress(TextView line, int64_t position) {
  Text out;
  linkFirstAddressInto(line, position, out);
  return out;
}

bool isBoldPassThrough(TextView line) {
  // Lowering never makes or removes a blank, so trimming first and comparing lowered
  // bytes gives the same answer as lowering a copy first.
  const TextView text = trimLeadingBlanks(line);
  // Most lines fail at their first byte, so the end of the line is looked at only after it.
  if (text.empty() || text[0] != '<') return false;
  const TextView trimmed = trimTrailingBlanks(text);
  if (!startsWithLowered(trimmed, "<b>")) return false;
  for (size_t i = trimmed.find('<'); i != TextView::npos; i = trimmed.find('<', i + 1)) {
    if (startsWithLowered(trimmed.substr(i), "</b>")) return i + 4 == trimmed.size();
  }
  return trimmed.size() == 3;  // no "</b>": its position 0 equals the length minus 3
}

}  // namespace doc
