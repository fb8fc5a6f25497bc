// Reads and writes single bits of the status word.
// SPDX-License-Identifier: MIT
#include "settings/status_bits.h"

#include <cmath>
#include <limits>

#include "errors/error_handler.h"
#include "errors/narrowing.h"

namespace {

// The weight of a bit as the runtime computes it: a floating power of two rounded to a 32-bit
// integer, so bits below 0 weigh nothing and bits from 31 on overflow.
std::int32_t Weight(const Module& module, std::int16_t bit_no) {
  const double weight = std::nearbyint(std::pow(2.0, bit_no));
  if (weight > std::numeric_limits<std::int32_t>::max()) Raise(module, ErrorNumber::kOverflow);
  return static_cast<std::int32_t>(weight);
}

bool IsSet(const Module& module, std::int16_t word, std::int16_t bit_no) {
  return (static_cast<std::int32_t>(word) & Weight(module, bit_no)) != 0;
}

}  // namespace

std::int16_t ReadBit(Module& module, std::int16_t word, std::int16_t bit_no) {
  Procedure proc(module, "ReadBit");
  std::int16_t result = 0;
  if (proc.Test([&] { return IsSet(module, word, bit_no); })) {
    result = kBitSet;
  } else {
    result = kBitClear;
  }
  return result;
}

std::int16_t WriteBit(Module& module, std::int16_t word, std::int16_t bit_no, std::int16_t state) {
  Procedure proc(module, "WriteBit");
  if (proc.Test([&] { return state == kBitSet; })) {
    // Negated inside the test, so a failed test still enters the branch.
    if (proc.Test([&] { return !IsSet(module, word, bit_no); })) {
      proc.Step([&] { word = NarrowToInt16(module, std::int64_t{word} + Weight(module, bit_no)); });
    }
  } else {
    if (proc.Test([&] { return IsSet(module, word, bit_no); })) {
      proc.Step([&] { word = NarrowToInt16(module, std::int64_t{word} - Weight(module, bit_no)); });
    }
  }
  return word;
}
