// Draws a button picture with GDI.
// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

#include <optional>

#include "app/button_art.h"

// Draws `art` centred in `box` of `dc` at `dpi`, on the button face colour `face`, smoothed: the
// shapes are drawn four times larger and scaled down with halftoning. A disabled button shows
// its picture faded into the face. With `ink` every shape takes that one colour (high contrast).
void DrawButtonArt(HDC dc, const RECT& box, const ButtonArt& art, COLORREF face, int dpi,
                   bool disabled, std::optional<COLORREF> ink = std::nullopt);
