// Escaping of document text for the page.
#include "html/escape.h"

#include <array>

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

}  // namespace

void escapeAngleBracketsInto(TextView text, Text& out) {
  out.clear();
  out.reserve(text.size());
  size_t plainFrom = 0;  // first byte not yet copied
  for (size_t i = 0; i < text.size(); ++i) {
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
