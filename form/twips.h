// Twips, the table of controls' unit (1/1440 inch), to pixels at a DPI.
// SPDX-License-Identifier: MIT
#pragma once

// Twips, the table of controls' unit (1/1440 inch), to pixels at a DPI.

#include "form/form.h"

// The DPI at which a pixel is 15 twips; a toolkit that scales on its own lays out at it.
inline constexpr int kDefaultDpi = 96;

// To the nearest pixel, halves away from zero, as MulDiv(twips, dpi, 1440) rounds.
constexpr int TwipsToPixels(int twips, int dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const PixelRect&) const = default;
};

struct PixelSize {
  int width = 0;
  int height = 0;
};

// The largest DPI, at most `dpi`, at which a client area of the given twips fits into `room`;
// at least 1. Drawn at it, a form too large for a small screen keeps every control on it.
int LargestFittingDpi(int dpi, int width_twips, int height_twips, PixelSize room);

// A control's place in the form's client area at `dpi`. Each edge is converted from its distance
// to the client area's corner, never summed from rounded parts, so that every view puts it on the
// same pixels and edges that meet in twips meet on screen.
PixelRect PlaceInClient(Form& form, const ControlDesign& design, int dpi);
