// The runtime's integer conversions.
// SPDX-License-Identifier: MIT
#include "errors/narrowing.h"

#include <limits>

#include "errors/error_handler.h"

std::int16_t NarrowToInt16(const Module& module, std::int64_t value) {
  if (value < std::numeric_limits<std::int16_t>::min() ||
      value > std::numeric_limits<std::int16_t>::max()) {
    Raise(module, ErrorNumber::kOverflow);
  }
  return static_cast<std::int16_t>(value);
}
