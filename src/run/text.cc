// Text operations on byte strings.
#include "run/text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace doc {

int64_t findFrom(TextView text, TextView pattern, int64_t start) {
  const auto size = static_cast<int64_t>(text.size());
  if (start < 1 || start > size || pattern.empty()) return 0;
  if (static_cast<int64_t>(pattern.size()) > size - start + 1) return 0;
  const size_t at = text.find(pattern, static_cast<size_t>(start - 1));
  return at == TextView::npos ? 0 : static_cast<int64_t>(at) + 1;
}

TextView sliceText(TextView text, int64_t start, int64_t length) {
  const auto size = static_cast<int64_t>(text.size());
  if (start < 1 || start > size || length == 0) return {};
  const int64_t left = size - start + 1;
  const int64_t take = (length < 0 || length > left) ? left : length;
  return text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(take));
}

static inline char lowerByte(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// Every line of a document is lowered once or more, so eight bytes go at a time: a byte
// gets 0x20 added when it is below 0x80 and from 'A' to 'Z'. The sums stay inside their
// byte, so no carry reaches the next one.
void toLowerAsciiInto(TextView text, Text& out) {
  constexpr uint64_t kHigh = 0x80 * kOnes;
  out.resize(text.size());
  const char* from = text.data();
  char* to = out.data();
  size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, from + i, 8);
    const uint64_t low = word & ~kHigh;
    const uint64_t aboveZ = low + (0x7F - 'Z') * kOnes;
    const uint64_t fromA = low + (0x80 - 'A') * kOnes;
    const uint64_t upper = (fromA ^ aboveZ) & ~word & kHigh;
    word |= upper >> 2;
    std::memcpy(to + i, &word, 8);
  }
  for (; i < text.size(); ++i) to[i] = lowerByte(from[i]);
}

Text toLowerAscii(TextView text) {
  Text out;
  toLowerAsciiInto(text, out);
  return out;
}

int byteAt(TextView text, int64_t position) {
  if (position < 1 || position > static_cast<int64_t>(text.size())) return 0;
  return static_cast<unsigned char>(text[static_cast<size_t>(position - 1)]);
}

Text blanks(int64_t n) { return n > 0 ? Text(static_cast<size_t>(n), ' ') : Text(); }

Text intToText(int64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return Text(buffer, result.ptr);
}

Text realToText(double value) {
  char buffer[64];
  const int written = std::snprintf(buffer, sizeof buffer, "%.16g", value);
  Text text(buffer, written > 0 ? static_cast<size_t>(written) : 0);
  // The exponent takes at least three digits, as the console runtime writes it.
  const size_t e = text.find('e');
  if (e != Text::npos && e + 1 < text.size()) {
    const size_t digits = e + 2;  // past the sign
    const size_t count = text.size() - digits;
    if (count < 3) text.insert(digits, 3 - count, '0');
  }
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

static bool isDigit(char c) { return c >= '0' && c <= '9'; }

static int radixDigit(char c, int radix) {
  int value = 99;
  if (c >= '0' && c <= '9') value = c - '0';
  else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < radix ? value : -1;
}

RadixValue parseRadixForm(TextView text) {
  RadixValue result;
  if (text.size() < 2 || text[0] != '&') return result;
  int radix = 8;
  size_t from = 1;
  const char kind = text[1];
  if (kind == 'H' || kind == 'h') radix = 16, from = 2;
  else if (kind == 'O' || kind == 'o') radix = 8, from = 2;
  else if (kind == 'B' || kind == 'b') radix = 2, from = 2;
  const uint64_t base = static_cast<uint64_t>(radix);
  for (size_t i = from; i < text.size(); ++i) {
    const int digit = radixDigit(text[i], radix);
    if (digit < 0) break;
    const uint64_t d = static_cast<uint64_t>(digit);
    if (result.value > (UINT64_MAX - d) / base) result.overflow = true;
    result.value = result.value * base + d;
  }
  return result;
}

static bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

double parseNumber(TextView text) {
  size_t i = text.find_first_not_of(' ');
  if (i == TextView::npos) return 0;
  text.remove_prefix(i);
  if (text.size() >= 2 && text[0] == '&')
    return static_cast<double>(static_cast<int64_t>(parseRadixForm(text).value));

  // Decimal form: white space, sign, digits with an optional point, optional exponent.
  i = 0;
  while (i < text.size() && isSpace(text[i])) ++i;
  Text number;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') number.push_back('-');
    ++i;
  }
  const size_t mantissaStart = i;
  while (i < text.size() && isDigit(text[i])) ++i;
  size_t digitCount = i - mantissaStart;
  if (i < text.size() && text[i] == '.') {
    const size_t fractionStart = ++i;
    while (i < text.size() && isDigit(text[i])) ++i;
    digitCount += i - fractionStart;
  }
  if (digitCount == 0) return 0;
  number.append(text.substr(mantissaStart, i - mantissaStart));
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    const size_t exponentDigits = j;
    while (j < text.size() && isDigit(text[j])) ++j;
    if (j > exponentDigits) {
      number.push_back('e');
      number.append(text.substr(i + 1, j - i - 1));
    }
  }
  // The C locale is never changed, so strtod reads "." as the decimal point; it also
  // gives infinity or zero where the exponent runs out of range.
  return std::strtod(number.c_str(), nullptr);
}

int32_t toInteger(double value) {
  constexpr int32_t outside = std::numeric_limits<int32_t>::min();
  if (std::isnan(value)) return outside;
  const double rounded = std::nearbyint(value);
  if (rounded < -2147483648.0 || rounded > 2147483647.0) return outside;
  return static_cast<int32_t>(rounded);
}

}  // namespace doc
