// Points and twips to pixels at a window's DPI, and the system's DPI functions.
// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

#include <cmath>

#include "form/form.h"
#include "form/twips.h"

// Points (1/72 inch) to pixels at a window's DPI; twips go through form/twips.h as in any view.

// The height GDI wants for a font of `points` (negative: the character height, not the cell's).
inline int FontHeightAt(double points, int dpi) {
  return -static_cast<int>(std::lround(points * dpi / 72));
}

// The work area (the monitor without the taskbar and docked bars) of the monitor nearest to a
// window rectangle.
RECT WorkAreaNear(const RECT& window);

// Test seam: the per-monitor DPI functions of Windows 10, looked up at run time (Windows 7 and
// 8.1 lack them, and a program that imported them would not start there); a test passes none to
// take the way of the older systems. `work_area_near` gives a monitor's work area.
struct DpiApi {
  UINT(WINAPI* get_dpi_for_window)(HWND) = nullptr;
  BOOL(WINAPI* adjust_window_rect_ex_for_dpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
  RECT (*work_area_near)(const RECT&) = WorkAreaNear;
};

// What this system offers.
const DpiApi& SystemDpiApi();

// The window's DPI; without the per-monitor functions the system's (the screen's LOGPIXELSX).
int WindowDpi(const DpiApi& api, HWND window);

// Grows a client rectangle to the window's outer one. Without the per-monitor functions the
// frame is the system DPI's, which the caller measures and makes up for.
void AdjustWindowRectAtDpi(const DpiApi& api, RECT& rect, DWORD style, int dpi);

// A control's font at `dpi`. The design's "MS Sans Serif" is a bitmap font that grows in a few
// fixed steps; its TrueType twin "Microsoft Sans Serif" (same design and metrics) scales
// smoothly, so it takes its place wherever the system has it.
HFONT CreateDesignFont(const FontDesign& design, int dpi);
