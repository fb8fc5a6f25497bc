// Tests of the code-page conversions.
// SPDX-License-Identifier: MIT
#include "base/codepage.h"
#include "base/line_breaks.h"

#include <gtest/gtest.h>

TEST(Codepage, EveryByteRoundTripsAndWhatItLacksBecomesQuestionMarks) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(text::Utf8ToWindows1252(text::Windows1252ToUtf8(all)), all);
  EXPECT_EQ(text::Utf8ToWindows1252("a\xF0\x9F\x98\x80z"), "a?z");  // emoji
  EXPECT_EQ(text::Utf8ToWindows1252("a\xFFz\xC3"), "a?z?");
  EXPECT_EQ(text::Utf8ToWindows1252("\xC0\xAF\xED\xA0\x80"), "?????");  // overlong "/", surrogate
}

TEST(Codepage, UpperCaseCoversTheCodePageLetters) {
  EXPECT_EQ(text::UpperCase("tats\u00E4chlich \u0161\u0153\u017E\u00FF\u00F7"),
            "TATS\u00C4CHLICH \u0160\u0152\u017D\u0178\u00F7");  // the division sign has none
}

// Both windows show a message through this: Qt breaks lines at LF, Windows at CR LF.
TEST(LineBreaks, EachPairOrLoneBreakShowsAsOneBreakOfTheToolkit) {
  const struct {
    const char* text;
    const char* line_break;
    const char* shown;
  } rows[] = {{"a\n\rb\r\nc", "\n", "a\nb\nc"},
              {"a\r\n\r\nb\n", "\r\n", "a\r\n\r\nb\r\n"},
              {"a\n\nb\r\rend\n\r", "\n", "a\n\nb\n\nend\n"}};
  for (const auto& row : rows) EXPECT_EQ(text::WithLineBreaks(row.text, row.line_break), row.shown);
}
