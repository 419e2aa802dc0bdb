// Text operations on byte strings: searching, slicing, trimming, case, numbers.
// A text is any run of bytes; positions are 1-based; a blank is byte 32 only and
// case changes touch A to Z only. No operation fails: out-of-range positions and
// lengths give empty results, and a number is read from the front of a text up to
// the first byte that does not belong to it.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace doc {

using Text = std::string;
using TextView = std::string_view;

// Position of the leftmost `pattern` in `text` that begins at or after `start`; 0 when
// there is none, when start is below 1 or past the end, or when either text is empty.
int64_t findFrom(TextView text, TextView pattern, int64_t start);

// The bytes of `text` from position `start`, at most `length` of them; a negative length
// means to the end. The view points into `text`.
TextView sliceText(TextView text, int64_t start, int64_t length);

// Without the leading and trailing blanks; tabs stay. Views into `text`.
inline TextView trimBlanks(TextView text);
inline TextView trimLeadingBlanks(TextView text);
inline TextView trimTrailingBlanks(TextView text);

// Every A to Z lowered; bytes 128 to 255 pass unchanged.
Text toLowerAscii(TextView text);
// The same into a buffer the caller reuses from line to line.
void toLowerAsciiInto(TextView text, Text& out);
// Whether `text` begins with `lowerPrefix` when lowered (the prefix is lower case already).
// Inline below: the passes ask it of every line for the markers.
inline bool startsWithLowered(TextView text, TextView lowerPrefix);

// The byte at 1-based `position` as 0 to 255; 0 outside the text.
int byteAt(TextView text, int64_t position);

// n blanks; "" when n is 0 or negative.
Text blanks(int64_t n);

// Decimal digits with "-" before a negative value.
Text intToText(int64_t value);

// "%.16g" with a three-digit exponent at least ("1e+016") and a trailing "." removed.
Text realToText(double value);

// The number at the front of the text: blanks skipped, then the radix form "&H", "&O",
// "&B", "&" or a decimal number with "d" standing for "e"; 0 when there is none.
double parseNumber(TextView text);

// The radix form alone ("&HFF", "&O17", "&B101", "&17") from the first byte of the text:
// the digits accumulated in 64 bits, wrapping, and whether they ran past 64 bits.
struct RadixValue {
  uint64_t value = 0;
  bool overflow = false;
};
RadixValue parseRadixForm(TextView text);

// Nearest integer, halves to even; -2147483648 outside 32 bits or for not a number.
int32_t toInteger(double value);

// Eight bytes as one value, for the scans that go a word at a time where sixteen bytes are
// not left: kOnes times a byte repeats it in every byte of a word.
inline constexpr uint64_t kOnes = 0x0101010101010101u;
// The eight bytes from `at`. REQUIRES: they lie inside one text.
inline uint64_t loadWord(const char* at) {
  uint64_t word;
  std::memcpy(&word, at, 8);
  return word;
}
// Whether any byte of the word is zero. It never reports a zero byte where there is none,
// which is all the scans ask of it.
inline bool hasZeroByte(uint64_t word) { return ((word - kOnes) & ~word & (0x80 * kOnes)) != 0; }

// Sixteen bytes as one value, for the scans that look at every byte of every line. GCC and
// clang compile operations on it to vector instructions (SSE2 on x86-64, which every such
// processor has), so comparing sixteen bytes costs about what comparing one does.
using Bytes16 = unsigned char __attribute__((vector_size(16)));

// The sixteen bytes from `at`. REQUIRES: they lie inside one text.
inline Bytes16 loadBytes16(const char* at);
// Whether any byte of a comparison's result (0 or all ones per byte) is set.
template <typename Mask>
bool anyByteSet(Mask mask);

// Every pass trims every line, and a line has few blanks at its ends if any, so these are
// plain loops inline here rather than calls into the general search of find_first_not_of.

inline TextView trimLeadingBlanks(TextView text) {
  size_t first = 0;
  // The lines of the indented file begin with their chapter's indentation, often many
  // blanks: eight are compared at a time, and the first other byte is found from the
  // lowest set bit of the difference, which on a little-endian machine is the first byte.
  if constexpr (std::endian::native == std::endian::little) {
    constexpr uint64_t kBlanks = 0x2020202020202020u;
    for (; first + 8 <= text.size(); first += 8) {
      uint64_t word;
      std::memcpy(&word, text.data() + first, 8);
      if (word != kBlanks) {
        return text.substr(first + static_cast<size_t>(std::countr_zero(word ^ kBlanks)) / 8);
      }
    }
  }
  while (first < text.size() && text[first] == ' ') ++first;
  return text.substr(first);
}

inline TextView trimTrailingBlanks(TextView text) {
  size_t end = text.size();
  while (end > 0 && text[end - 1] == ' ') --end;
  return text.substr(0, end);
}

inline TextView trimBlanks(TextView text) { return trimTrailingBlanks(trimLeadingBlanks(text)); }

inline Bytes16 loadBytes16(const char* at) {
  Bytes16 bytes;
  std::memcpy(&bytes, at, sizeof bytes);
  return bytes;
}

template <typename Mask>
bool anyByteSet(Mask mask) {
  static_assert(sizeof(Mask) == 16);
  uint64_t halves[2];
  std::memcpy(halves, &mask, sizeof halves);
  return (halves[0] | halves[1]) != 0;
}

inline bool startsWithLowered(TextView text, TextView lowerPrefix) {
  if (text.size() < lowerPrefix.size()) return false;
  for (size_t i = 0; i < lowerPrefix.size(); ++i) {
    const char c = text[i];
    if (((c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c) != lowerPrefix[i]) return false;
  }
  return true;
}

}  // namespace doc
