#include "run/input_buffer.h"

namespace doc {

LineTaken takeLine(Text& input, Text& line, bool (*readMore)()) {
  size_t end;
  while ((end = input.find('\n')) == Text::npos) {
    if (!readMore()) {
      line = input;
      input.clear();
      return line.empty() ? LineTaken::none : LineTaken::unended;
    }
  }
  line.assign(input, 0, end);
  input.erase(0, end + 1);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return LineTaken::ended;
}

Text takeByte(Text& input) {
  if (input.empty()) return "";
  Text key = input.substr(0, 1);
  input.erase(0, 1);
  return key;
}

}  // namespace doc
