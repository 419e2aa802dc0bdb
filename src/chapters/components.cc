// Packed chapter number components and their increment.
#include "chapters/components.h"

#include <charconv>
#include <cmath>

namespace doc {

TextView componentAt(const ChapterRow& row, int k) {
  if (k < 1 || k > row.componentCount) return {};
  const TextView packed = row.packedComponents;
  size_t from = 0;
  for (int i = 1; i < k; ++i) from = packed.find(' ', from) + 1;
  const size_t to = packed.find(' ', from);
  return packed.substr(from, to == TextView::npos ? TextView::npos : to - from);
}

int filledComponentCount(const ChapterRow& row) {
  if (row.componentCount == 0) return 0;
  const TextView packed = row.packedComponents;
  int filled = 0;
  size_t from = 0;
  for (;;) {
    const size_t to = packed.find(' ', from);
    const size_t end = to == TextView::npos ? packed.size() : to;
    if (end > from) ++filled;
    if (to == TextView::npos) return filled;
    from = to + 1;
  }
}

TextView leadingComponents(const ChapterRow& row, int& count) {
  count = 0;
  if (row.componentCount == 0) return {};
  const TextView packed = row.packedComponents;
  size_t from = 0;
  size_t leadingEnd = 0;
  for (;;) {
    const size_t to = packed.find(' ', from);
    const size_t end = to == TextView::npos ? packed.size() : to;
    if (end == from) break;  // the first empty component ends the leading ones
    ++count;
    leadingEnd = end;
    if (to == TextView::npos) break;
    from = to + 1;
  }
  return packed.substr(0, leadingEnd);
}

void setComponents(ChapterRow& row, TextView packed, int count) {
  row.packedComponents.assign(packed);
  row.componentCount = static_cast<uint8_t>(count);
}

void setFirstComponent(ChapterRow& row, TextView first) {
  if (row.componentCount == 0) {
    row.packedComponents.clear();
    row.componentCount = 1;
  }
  const size_t blank = row.packedComponents.find(' ');
  row.packedComponents.replace(0, blank == Text::npos ? row.packedComponents.size() : blank, first);
}

Text incrementText(TextView component) {
  // Up to 15 digits the value and its successor are exact in a real and below 10^16, where
  // the real's text is its plain digits; so whole-number arithmetic gives the same text.
  if (component.size() <= 15) {
    uint64_t value = 0;
    bool digitsOnly = true;
    for (const char c : component) {
      if (c < '0' || c > '9') {
        digitsOnly = false;
        break;
      }
      value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (digitsOnly) {
      char buffer[24];
      const auto written = std::to_chars(buffer, buffer + sizeof buffer, value + 1);
      return Text(buffer, written.ptr);
    }
  }
  const double next = parseNumber(component) + 1.0;
  if (std::isfinite(next)) return realToText(next);
  // Beyond the range of a real the sum would read "inf". The components come from the
  // digits of number words, so such a component is digits only: add one to those digits.
  Text digits(component);
  size_t i = digits.size();
  while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
  if (i == 0) {
    digits.insert(digits.begin(), '1');
  } else if (digits[i - 1] >= '0' && digits[i - 1] < '9') {
    ++digits[i - 1];
  } else {
    return Text(component);  // not digits after all: nothing sound to add one to
  }
  return digits;
}

}  // namespace doc
