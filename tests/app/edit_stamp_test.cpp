#include "app/edit_stamp.h"

#include <gtest/gtest.h>

namespace {

TEST(EditorCode, HexOfEachCodePlusFiveSkippingDashAndUnderscore) {
  EXPECT_EQ(EditorCodeOf("X=a-b_c"), "666768");
  EXPECT_EQ(EditorCodeOf("USER=abc"), "666768");
  EXPECT_EQ(EditorCodeOf("X="), "");
  EXPECT_EQ(EditorCodeOf(""), "");
  EXPECT_EQ(EditorCodeOf("abc"), "666768");         // no "=": the whole entry
  EXPECT_EQ(EditorCodeOf("A=b=c"), "674268");       // only the first "=" separates
  EXPECT_EQ(EditorCodeOf("X=\xC3\xA4"), "E9");      // ä is 0xE4 in Windows-1252
  EXPECT_EQ(EditorCodeOf("X=\xE2\x82\xAC"), "85");  // € is 0x80
  EXPECT_EQ(EditorCodeOf("X=\xCE\xA9"), "44");      // Ω is not in the code page: "?"
  EXPECT_EQ(EditorCodeOf("X=\xFF"), "44");          // not UTF-8: "?"
  EXPECT_EQ(EditorCodeOf("X=\xFF\xFE"
                         "a"),
            "444466");
}

}  // namespace
