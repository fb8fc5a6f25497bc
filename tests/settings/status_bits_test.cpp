#include "settings/status_bits.h"

#include "support/fakes.h"

#include <tuple>

namespace {

class StatusBits : public ModuleTest {};

// word, bit, check-box state to write, the word after it
using BitCase = std::tuple<std::int16_t, std::int16_t, std::int16_t, std::int16_t>;

class WriteBitTest : public StatusBits, public testing::WithParamInterface<BitCase> {};

TEST_P(WriteBitTest, ChangesOnlyItsBitAndReadsBack) {
  const auto [word, bit, state, after] = GetParam();
  EXPECT_EQ(WriteBit(module_, word, bit, state), after);
  EXPECT_EQ(ReadBit(module_, after, bit), state == 1 ? 1 : 0);
  EXPECT_TRUE(dialogs_.shown.empty());
}

// Only state 1 sets a bit: 2 is greyed, -1 is Boolean True and not "checked".
INSTANTIATE_TEST_SUITE_P(Table, WriteBitTest,
                         testing::Values(BitCase{0, 1, 1, 2}, BitCase{2, 1, 1, 2},
                                         BitCase{3, 0, 0, 2}, BitCase{2, 0, 0, 2},
                                         BitCase{0x7FFC, 0, 1, 0x7FFD}, BitCase{-1, 1, 0, -3},
                                         BitCase{-32768, 15, 1, -32768}, BitCase{5, 15, 0, 5},
                                         BitCase{1, 0, 2, 0}, BitCase{1, 0, -1, 0}));

TEST_F(StatusBits, SignBitChangeOverflowsAndKeepsTheWord) {
  EXPECT_EQ(WriteBit(module_, 0, 15, 1), 0);
  EXPECT_EQ(WriteBit(module_, -32768, 15, 0), -32768);
  ASSERT_EQ(dialogs_.shown.size(), 2u);
  // A bit without a weight fails the test too: the set branch is still entered, and fails again.
  EXPECT_EQ(WriteBit(module_, 5, 31, 1), 5);
  ASSERT_EQ(dialogs_.shown.size(), 4u);
  dialogs_.shown.resize(2);
  EXPECT_NE(ReadBytes(CfgLog()).find("/ WriteBit (Nr. 6) :Overflow\r\n"), std::string::npos);
}

}  // namespace
