// Turns the program's line breaks into the toolkit's own for message boxes.
// SPDX-License-Identifier: MIT
#include "base/line_breaks.h"

namespace text {

std::string WithLineBreaks(std::string_view text, std::string_view line_break) {
  std::string shown;
  shown.reserve(text.size() + 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\n' && c != '\r') {
      shown += c;
      continue;
    }
    shown += line_break;
    const bool pair =
        i + 1 < text.size() && (text[i + 1] == '\n' || text[i + 1] == '\r') && text[i + 1] != c;
    if (pair) ++i;
  }
  return shown;
}

}  // namespace text
