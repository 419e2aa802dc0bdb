// Escaping of document text for the page.
#include "html/escape.h"

#include <array>
#include <cstdint>

namespace doc {

namespace {

// The entity that stands for each byte in the page; empty for a byte that passes as it is.
// An entity holds neither "<" nor ">", so one pass gives what replacing them one at a time,
// each search from the start, would give.
constexpr std::array<TextView, 256> makeEntities() {
  std::array<TextView, 256> entities{};
  entities[static_cast<unsigned char>('<')] = "&lt;";
  entities[static_cast<unsigned char>('>')] = "&gt;";
  return entities;
}

constexpr std::array<TextView, 256> kEntities = makeEntities();

// Whether any of the eight bytes is "<" (0x3C) or ">" (0x3E): with bit 1 set, both are
// 0x3E, and a byte equal to it gives a zero byte after the exclusive or.
bool hasAngleBracket(uint64_t word) { return hasZeroByte((word | 0x02 * kOnes) ^ (0x3E * kOnes)); }

bool hasAngleBracket16(const char* at) {
  return anyByteSet((loadBytes16(at) | 0x02) == 0x3E);  // as hasAngleBracket above
}

// The place of the first angle bracket from `from` on, byte by byte.
size_t firstAngleBracketFrom(TextView text, size_t from) {
  while (from < text.size() && text[from] != '<' && text[from] != '>') ++from;
  return from;
}

// The place of the first angle bracket, or the size of the text when there is none. Most
// lines hold none, so the search takes sixteen bytes at a time, and the bytes left at the
// end are tested as one more block of sixteen that ends with the last byte (or, for a short
// text, as the eight bytes at each end), rather than one by one.
size_t firstAngleBracket(TextView text) {
  const size_t size = text.size();
  const char* bytes = text.data();
  size_t i = 0;
  for (; i + 16 <= size; i += 16) {
    if (hasAngleBracket16(bytes + i)) return firstAngleBracketFrom(text, i);
  }
  if (i == size) return size;
  bool candidate = true;  // a text of fewer than eight bytes is looked at byte by byte
  if (size >= 16) {
    candidate = hasAngleBracket16(bytes + size - 16);
  } else if (size >= 8) {
    candidate = hasAngleBracket(loadWord(bytes)) || hasAngleBracket(loadWord(bytes + size - 8));
  }
  return candidate ? firstAngleBracketFrom(text, i) : size;
}

// The escaped text into out, whose first `plain` bytes are those of text, with no bracket.
void escapeFrom(TextView text, size_t plain, Text& out) {
  out.reserve(text.size() + 16);
  out.assign(text.substr(0, plain));
  size_t plainFrom = plain;  // first byte not yet copied
  for (size_t i = plain; i < text.size(); ++i) {
    const TextView entity = kEntities[static_cast<unsigned char>(text[i])];
    if (entity.empty()) continue;
    out.append(text.substr(plainFrom, i - plainFrom));
    out.append(entity);
    plainFrom = i + 1;
  }
  out.append(text.substr(plainFrom));
}

}  // namespace

void escapeAngleBracketsInto(TextView text, Text& out) {
  const size_t first = firstAngleBracket(text);
  if (first == text.size()) {
    out.assign(text);
    return;
  }
  escapeFrom(text, first, out);
}

TextView escapeAngleBracketsView(TextView text, Text& buffer) {
  const size_t first = firstAngleBracket(text);
  if (first == text.size()) return text;
  escapeFrom(text, first, buffer);
  return buffer;
}

Text escapeAngleBrackets(TextView text) {
  Text out;
  escapeAngleBracketsInto(text, out);
  return out;
}

}  // namespace doc
