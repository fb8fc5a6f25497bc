#include "settings/status_bits.h"

#include "support/fakes.h"

namespace {

class StatusBits : public ModuleTest {};

TEST_F(StatusBits, ReadsCheckBoxValues) {
  EXPECT_EQ(ReadBit(module_, 5, 0), 1);
  EXPECT_EQ(ReadBit(module_, 5, 1), 0);
  EXPECT_EQ(ReadBit(module_, 5, 2), 1);
  EXPECT_EQ(ReadBit(module_, -32768, 15), 1);
  EXPECT_EQ(ReadBit(module_, -1, 15), 1);
}

TEST_F(StatusBits, SetsAndClearsWithoutTouchingOtherBits) {
  EXPECT_EQ(WriteBit(module_, 0, 1, 1), 2);
  EXPECT_EQ(WriteBit(module_, 2, 1, 1), 2);
  EXPECT_EQ(WriteBit(module_, 3, 0, 0), 2);
  EXPECT_EQ(WriteBit(module_, 2, 0, 0), 2);
  EXPECT_EQ(WriteBit(module_, 0x7FFC, 0, 1), 0x7FFD);
  EXPECT_EQ(WriteBit(module_, -1, 1, 0), -3);
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(StatusBits, OnlyStateOneSets) {
  EXPECT_EQ(WriteBit(module_, 1, 0, 2), 0);   // greyed
  EXPECT_EQ(WriteBit(module_, 1, 0, -1), 0);  // Boolean True is not "checked"
}

TEST_F(StatusBits, SignBitChangeOverflowsAndKeepsTheWord) {
  EXPECT_EQ(WriteBit(module_, 0, 15, 1), 0);
  EXPECT_EQ(WriteBit(module_, -32768, 15, 0), -32768);
  ASSERT_EQ(dialogs_.shown.size(), 2u);
  // A bit without a weight fails the test too: the set branch is still entered, and fails again.
  EXPECT_EQ(WriteBit(module_, 5, 31, 1), 5);
  ASSERT_EQ(dialogs_.shown.size(), 4u);
  dialogs_.shown.resize(2);
  EXPECT_NE(ReadBytes(CfgLog()).find("/ WriteBit (Nr. 6) :Overflow\r\n"), std::string::npos);
  // Already in the wanted state: no error.
  EXPECT_EQ(WriteBit(module_, -32768, 15, 1), -32768);
  EXPECT_EQ(WriteBit(module_, 5, 15, 0), 5);
  EXPECT_EQ(dialogs_.shown.size(), 2u);
}

TEST_F(StatusBits, OverflowAnsweredNoEndsTheProgram) {
  dialogs_.answers = {MessageAnswer::kNo};
  try {
    WriteBit(module_, 0, 15, 1);
    FAIL() << "the program should have ended";
  } catch (const ProgramEnded& ended) {
    EXPECT_EQ(ended.status, 1);
  }
}

}  // namespace
