// Tests of the status-bit helpers.
// SPDX-License-Identifier: MIT
#include "settings/status_bits.h"

#include "support/fakes.h"

class StatusBits : public ModuleTest {};

// Only state 1 sets a bit: 2 is greyed, -1 is Boolean True and not "checked".
TEST_F(StatusBits, WriteBitChangesOnlyItsBitAndReadsBack) {
  // word, bit, check-box state to write, the word after it
  const std::int16_t rows[][4] = {
      {0, 1, 1, 2},           {2, 1, 1, 2},   {3, 0, 0, 2},  {2, 0, 0, 2},
      {0x7FFC, 0, 1, 0x7FFD}, {-1, 1, 0, -3}, {5, 15, 0, 5}, {-32768, 15, 1, -32768},
      {1, 0, 2, 0},           {1, 0, -1, 0},
  };
  for (const auto& [word, bit, state, after] : rows) {
    EXPECT_EQ(WriteBit(module_, word, bit, state), after) << word << " bit " << bit;
    EXPECT_EQ(ReadBit(module_, after, bit), state == 1 ? 1 : 0) << word << " bit " << bit;
  }
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(StatusBits, SignBitChangeOverflowsAndKeepsTheWord) {
  EXPECT_EQ(WriteBit(module_, 0, 15, 1), 0);
  EXPECT_EQ(WriteBit(module_, -32768, 15, 0), -32768);
  ASSERT_EQ(dialogs_.shown.size(), 2U);
  // A bit without a weight fails the test too: the set branch is still entered, and fails again.
  EXPECT_EQ(WriteBit(module_, 5, 31, 1), 5);
  ASSERT_EQ(dialogs_.shown.size(), 4U);
  EXPECT_NE(ReadBytes(CfgLog()).find("/ WriteBit (Nr. 6) :Overflow\r\n"), std::string::npos);
}
