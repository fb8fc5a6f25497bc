// The runtime's integer conversions, which raise the overflow error instead of wrapping.
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

#include "base/module.h"

// Narrows to 16 bits as the runtime does: a value out of range raises the overflow error.
std::int16_t NarrowToInt16(const Module& module, std::int64_t value);
