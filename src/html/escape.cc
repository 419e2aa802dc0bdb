// Escaping of document text for the page.
#include "html/escape.h"

#include <array>
#include <cstdint>
#include <cstring>

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
bool hasAngleBracket(uint64_t word) {
  constexpr uint64_t kOnes = 0x0101010101010101u;
  const uint64_t x = (word | 0x02 * kOnes) ^ (0x3E * kOnes);
  return ((x - kOnes) & ~x & (0x80 * kOnes)) != 0;
}

// The place of the first angle bracket, or the size of the text when there is none. Most
// lines hold none, so the search takes sixteen bytes at a time, then eight.
size_t firstAngleBracket(TextView text) {
  size_t i = 0;
  for (; i + 16 <= text.size(); i += 16) {
    if (anyByteSet((loadBytes16(text.data() + i) | 0x02) == 0x3E)) break;
  }
  for (; i + 8 <= text.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    if (hasAngleBracket(word)) break;
  }
  while (i < text.size() && kEntities[static_cast<unsigned char>(text[i])].empty()) ++i;
  return i;
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
