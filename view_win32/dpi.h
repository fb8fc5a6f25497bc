#pragma once

// Twips and points to pixels at a window's DPI: a twip is 1/1440 inch, a point 1/72 inch.

inline constexpr int kDefaultDpi = 96;

// Rounded to the nearest pixel, so that edges computed from absolute twips meet.
constexpr int TwipsToPixels(int twips, int dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

// The height GDI wants for a font of `points` (negative: the character height, not the cell's).
constexpr int FontHeightAt(double points, int dpi) {
  return -static_cast<int>(points * dpi / 72 + 0.5);
}
