// The high-contrast setting and the colours a control is painted with.
// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

#include <cstdint>

// Windows' high-contrast setting (SPI_GETHIGHCONTRAST with HCF_HIGHCONTRASTON).
bool SystemHighContrast();

// The colours a control is painted with.
struct PaintColours {
  COLORREF face = 0;
  COLORREF text = 0;
  // Text and pictures take `text`; otherwise they keep their own colours.
  bool system_text = false;
};

// For a control whose colour is `design_colour`: without high contrast exactly the designed
// colour; with it the system's button colours, and the highlight where help mode shows green.
PaintColours ColoursFor(std::uint32_t design_colour, bool high_contrast);
