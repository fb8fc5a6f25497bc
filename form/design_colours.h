// The design's colours: the window's grey and the help mode's green.
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

// 24-bit colour values as the design stores them: red in the low byte, blue in the third.
inline constexpr std::uint32_t kDesignBackColor = 0xC0C0C0;  // grey: red = green = blue = 192
inline constexpr std::uint32_t kHelpModeOnColor = 0x00FF00;  // green: the help button in help mode
inline constexpr std::uint32_t kHelpModeOffColor = kDesignBackColor;
