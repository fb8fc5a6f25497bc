// Tests of the editor code and the edit stamp.
// SPDX-License-Identifier: MIT
#include "app/edit_stamp.h"

#include <gtest/gtest.h>

TEST(EditorCode, HexOfEachCodePlusFiveSkippingDashAndUnderscore) {
  EXPECT_EQ(EditorCodeOf("abc"), "666768");    // no "=": the whole entry
  EXPECT_EQ(EditorCodeOf("A=b=c"), "674268");  // only the first "=" separates
  // The code page's own mapping ("?" for what it lacks) is its tests' business.
  EXPECT_EQ(EditorCodeOf("X=\xC3\xA4\xCE\xA9"), "E944");  // ä is 0xE4 in Windows-1252, Ω "?"
}
