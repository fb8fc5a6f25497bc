// Reading and writing single bits of the status word as check-box values.
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

#include "base/module.h"

inline constexpr std::int16_t kBitSet = 1;
inline constexpr std::int16_t kBitClear = 0;

// 1 when bit `bit_no` of `word` is set, else 0 (check-box values, not Booleans).
std::int16_t ReadBit(Module& module, std::int16_t word, std::int16_t bit_no);

// `word` with bit `bit_no` set when `state` is 1 and cleared for any other state. Changing the
// sign bit raises the overflow error; continuing returns the word unchanged.
std::int16_t WriteBit(Module& module, std::int16_t word, std::int16_t bit_no, std::int16_t state);
