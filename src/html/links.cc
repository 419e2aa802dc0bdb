// Links for addresses and the bold pass-through test.
#include "html/links.h"

#include <algorithm>

namespace doc {

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
  const TextView trimmed = trimBlanks(line);
  if (!startsWithLowered(trimmed, "<b>")) return false;
  for (size_t i = trimmed.find('<'); i != TextView::npos; i = trimmed.find('<', i + 1)) {
    if (startsWithLowered(trimmed.substr(i), "</b>")) return i + 4 == trimmed.size();
  }
  return trimmed.size() == 3;  // no "</b>": its position 0 equals the length minus 3
}

}  // namespace doc
