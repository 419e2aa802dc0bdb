// Links for addresses and the bold pass-through test.
#include "html/links.h"

#include <algorithm>
#include <cstdint>

namespace doc {

namespace {

// A byte lowered, for the letters of the markers: bit 5 set turns A to Z into a to z, and
// no other byte into a lower-case letter.
char lowerLetter(char c) { return static_cast<char>(c | 0x20); }

// Whether any of the sixteen byte pairs that begin at `at` .. `at` + 15 is "tt" in any case
// or ":/": the sixteen bytes from `at` against the sixteen a byte on.
// REQUIRES: 17 bytes from `at` lie in the line.
bool hasMarkerPair16(const char* at) {
  const Bytes16 first = loadBytes16(at);
  const Bytes16 second = loadBytes16(at + 1);
  const auto pairT = ((first | 0x20) == 't') & ((second | 0x20) == 't');
  const auto pairColonSlash = (first == ':') & (second == '/');
  return anyByteSet(pairT | pairColonSlash);
}

// The same for the eight pairs that begin at `at` .. `at` + 7. REQUIRES: 9 bytes from `at`.
bool hasMarkerPair8(const char* at) {
  const uint64_t first = loadWord(at);
  const uint64_t second = loadWord(at + 1);
  const uint64_t pairT =
      ((first | 0x20 * kOnes) ^ ('t' * kOnes)) | ((second | 0x20 * kOnes) ^ ('t' * kOnes));
  const uint64_t pairColonSlash = (first ^ (':' * kOnes)) | (second ^ ('/' * kOnes));
  return hasZeroByte(pairT) || hasZeroByte(pairColonSlash);
}

}  // namespace

size_t findAddressMarker(TextView line) {
  // Every line of the page is searched for both markers, and a line rarely holds either,
  // so the search runs once over the line, without a lowered copy, and looks for the
  // pairs of bytes that the markers hold and ordinary text seldom does: "tt" (in any
  // case) as in "http", and ":/" as in "file:///", sixteen pairs at a time. Only in a block
  // that holds one of them is each place looked at in full. The place q of a pair is that
  // of the second byte of "http" and of the fifth of "file:///", so the pairs come in the
  // order of the markers' places, and the first full match of each marker is its first.
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
  const size_t pairs = size < 2 ? 0 : size - 1;  // pairs begin at 0 .. pairs - 1
  size_t q = 0;
  for (; q + 16 <= pairs; q += 16) {
    if (!hasMarkerPair16(bytes + q)) continue;
    for (size_t at = q; at < q + 16; ++at) {
      if (markerAt(at)) return at - 1;
    }
  }
  if (q == pairs) return fileAt;
  // Fewer than sixteen pairs are left. Rather than go through them one by one, one more
  // block is tested that ends with the last pair and so takes in pairs already passed
  // (they hold no "http", and a "file:///" among them is recorded already); a short line
  // is tested eight pairs at a time from both ends. Only a block that holds a pair has its
  // pairs from q on looked at in full.
  bool candidate = true;  // a line of fewer than nine bytes is looked at pair by pair
  if (pairs >= 16) {
    candidate = hasMarkerPair16(bytes + pairs - 16);
  } else if (pairs >= 8) {
    candidate = hasMarkerPair8(bytes) || hasMarkerPair8(bytes + pairs - 8);
  }
  if (candidate) {
    for (; q < pairs; ++q) {
      if (markerAt(q)) return q - 1;
    }
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
