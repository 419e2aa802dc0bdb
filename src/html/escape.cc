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

}  // namespace

void escapeAngleBracketsInto(TextView text, Text& out) {
  out.clear();
  // Most lines hold no angle bracket: find the first one eight bytes at a time.
  size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    if (hasAngleBracket(word)) break;
  }
  while (i < text.size() && kEntities[static_cast<unsigned char>(text[i])].empty()) ++i;
  if (i == text.size()) {
    out.assign(text);
    return;
  }
  out.reserve(text.size() + 16);
  out.assign(text.substr(0, i));
  size_t plainFrom = i;  // first byte not yet copied
  for (; i < text.size(); ++i) {
    const TextView entity = kEntities[static_cast<unsigned char>(text[i])];
    if (entity.empty()) continue;
    out.append(text.substr(plainFrom, i - plainFrom));
    out.append(entity);
    plainFrom = i + 1;
  }
  out.append(text.substr(plainFrom));
}

Text escapeAngleBrackets(TextView text) {
  Text out;
  escapeAngleBracketsInto(text, out);
  return out;
}

}  // namespace doc
