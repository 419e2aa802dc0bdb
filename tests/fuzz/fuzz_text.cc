// Fuzz target: the text primitives and the console item rules against their stated
// properties, on arbitrary bytes.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "run/console.h"
#include "run/text.h"

namespace {

void check(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // The first two bytes pick positions; the rest is split into a text and a pattern.
  const int64_t start = static_cast<int8_t>(data[0]);
  const int64_t length = static_cast<int8_t>(data[1]);
  const doc::TextView all(reinterpret_cast<const char*>(data + 2), size - 2);
  const size_t cut = all.size() / 3;
  const doc::TextView pattern = all.substr(0, cut % 8);
  const doc::TextView text = all.substr(cut);
  const int64_t n = static_cast<int64_t>(text.size());

  const int64_t found = doc::findFrom(text, pattern, start);
  check(found == 0 || (found >= start && found >= 1 &&
                       text.substr(static_cast<size_t>(found - 1), pattern.size()) == pattern));

  const doc::TextView slice = doc::sliceText(text, start, length);
  check(static_cast<int64_t>(slice.size()) <= n);
  if (!slice.empty()) check(slice.data() == text.data() + (start - 1));

  const doc::TextView trimmed = doc::trimBlanks(text);
  check(trimmed.empty() || (trimmed.front() != ' ' && trimmed.back() != ' '));
  const doc::Text lowered = doc::toLowerAscii(text);
  check(lowered.size() == text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    check(static_cast<unsigned char>(lowered[i]) == (b >= 'A' && b <= 'Z' ? b + 32 : b));
  }
  check(doc::byteAt(text, start) >= 0 && doc::byteAt(text, start) <= 255);

  const double value = doc::parseNumber(text);
  const int32_t whole = doc::toInteger(value);
  if (std::isfinite(value) && std::fabs(value) < 2e9 && whole != std::numeric_limits<int32_t>::min())
    check(std::fabs(static_cast<double>(whole) - value) <= 0.5);
  const doc::Text written = doc::realToText(value);
  // Sixteen digits do not always give the same real back, but one within its last digit.
  if (std::isfinite(value))
    check(std::fabs(doc::parseNumber(written) - value) <= std::fabs(value) * 1e-15);

  doc::integerItem(text);
  check(doc::textItem(text).size() <= doc::kMaxTextItem);
  return 0;
}
