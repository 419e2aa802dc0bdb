// The number index is built once a pass over up to a row per heading and asked once a
// reference; the unordered map it replaced spent that time following one allocated node
// per row, so the places here are one array and hold the hashes.
#include "chapters/chapter_index.h"

#include <algorithm>

namespace doc {

namespace {

// FNV-1a over the bytes: numbers are a few bytes long, so a short loop beats a general hash.
uint64_t hashNumber(TextView number) {
  uint64_t hash = 0xCBF29CE484222325u;
  for (const char c : number) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001B3u;
  }
  return hash;
}

// The first place to probe: the high bits of the hash times the golden ratio, which spreads
// hashes that differ only in their low bits.
size_t firstSlot(const NumberIndex& index, uint64_t hash) {
  return static_cast<size_t>((hash * 0x9E3779B97F4A7C15u) >> index.shift);
}

// The place that holds the number, or the free place where the probe for it ends.
size_t probe(const ChapterTable& table, const NumberIndex& index, TextView number, uint64_t hash) {
  const size_t mask = index.slots.size() - 1;
  for (size_t at = firstSlot(index, hash);; at = (at + 1) & mask) {
    const NumberSlot& slot = index.slots[at];
    if (slot.rowPlusOne == 0) return at;
    if (slot.hash == hash &&
        TextView(table.rows[static_cast<size_t>(slot.rowPlusOne - 1)].*index.column) == number)
      return at;
  }
}

NumberIndex indexBy(const ChapterTable& table, const Text ChapterRow::*column) {
  NumberIndex index;
  index.column = column;
  const auto n = static_cast<size_t>(table.chapterCount);
  // At least twice as many places as rows keeps the probes short.
  size_t size = 16;
  int bits = 4;
  while (size < 2 * n) {
    size *= 2;
    ++bits;
  }
  index.slots.resize(size);
  index.shift = 64 - bits;
  // The first place of each row's number is random in an array larger than the cache, so
  // nearly every insert waited for memory. The hashes are worked out a few rows ahead and
  // their places fetched early, so that the waits overlap.
  constexpr size_t kAhead = 8;
  uint64_t ahead[kAhead] = {};
  const auto hashAhead = [&](size_t r) {
    const uint64_t hash = hashNumber(table.rows[r].*column);
    ahead[r % kAhead] = hash;
    __builtin_prefetch(&index.slots[firstSlot(index, hash)]);
  };
  for (size_t r = 0; r < std::min(n, kAhead); ++r) hashAhead(r);
  for (size_t r = 0; r < n; ++r) {
    const TextView number = table.rows[r].*column;
    const uint64_t hash = ahead[r % kAhead];
    if (r + kAhead < n) hashAhead(r + kAhead);
    NumberSlot& slot = index.slots[probe(table, index, number, hash)];
    if (slot.rowPlusOne != 0) continue;  // an earlier row holds the number: it stays first
    slot.hash = hash;
    slot.rowPlusOne = r + 1;
  }
  return index;
}

}  // namespace

NumberIndex indexByWrittenNumber(const ChapterTable& table) {
  return indexBy(table, &ChapterRow::writtenNumber);
}

NumberIndex indexByNewNumber(const ChapterTable& table) {
  return indexBy(table, &ChapterRow::newNumber);
}

const ChapterRow* findFirstRow(const ChapterTable& table, const NumberIndex& index,
                               TextView number) {
  if (index.slots.empty()) return nullptr;
  const NumberSlot& slot = index.slots[probe(table, index, number, hashNumber(number))];
  if (slot.rowPlusOne == 0) return nullptr;
  return &table.rows[static_cast<size_t>(slot.rowPlusOne - 1)];
}

}  // namespace doc
