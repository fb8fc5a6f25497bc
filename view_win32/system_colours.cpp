// Chooses a control's colours: the designed ones or, under high contrast, the system's.
// SPDX-License-Identifier: MIT
#include "view_win32/system_colours.h"

#include "form/design_colours.h"

bool SystemHighContrast() {
  HIGHCONTRASTW setting{};
  setting.cbSize = sizeof setting;
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0) != FALSE &&
         (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

PaintColours ColoursFor(std::uint32_t design_colour, bool high_contrast) {
  if (!high_contrast) {
    // Colours of the table hold red in the low byte, as COLORREF does.
    return {static_cast<COLORREF>(design_colour & 0xFFFFFFU), GetSysColor(COLOR_BTNTEXT), false};
  }
  if (design_colour == kHelpModeOnColor) {
    return {GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT), true};
  }
  return {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNTEXT), true};
}
