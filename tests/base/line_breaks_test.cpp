#include "base/line_breaks.h"

#include <gtest/gtest.h>

namespace {

// Both windows show a message through this: Qt breaks lines at LF, Windows at CR LF.
TEST(LineBreaks, EachPairOrLoneBreakShowsAsOneBreakOfTheToolkit) {
  const struct {
    const char* text;
    const char* line_break;
    const char* shown;
  } rows[] = {{"a\n\rb\r\nc", "\n", "a\nb\nc"},
              {"a\r\n\r\nb\n", "\r\n", "a\r\n\r\nb\r\n"},
              {"a\n\nb\r\rend\n\r", "\n", "a\n\nb\n\nend\n"},
              {"Gr\xC3\xBC\xC3\x9F", "\r\n", "Gr\xC3\xBC\xC3\x9F"}};
  for (const auto& row : rows) EXPECT_EQ(text::WithLineBreaks(row.text, row.line_break), row.shown);
}

}  // namespace
