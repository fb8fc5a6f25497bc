// Places a control in the window's client area in pixels.
// SPDX-License-Identifier: MIT
#include "form/twips.h"

#include <string>

PixelRect PlaceInClient(Form& form, const ControlDesign& design, int dpi) {
  int left = design.left;
  int top = design.top;
  for (std::string container = design.container; !container.empty();) {
    const ControlDesign& outer = form[container].design();
    left += outer.left;
    top += outer.top;
    container = outer.container;
  }
  return {TwipsToPixels(left, dpi), TwipsToPixels(top, dpi),
          TwipsToPixels(left + design.width, dpi), TwipsToPixels(top + design.height, dpi)};
}

int LargestFittingDpi(int dpi, int width_twips, int height_twips, PixelSize room) {
  while (dpi > 1 && (TwipsToPixels(width_twips, dpi) > room.width ||
                     TwipsToPixels(height_twips, dpi) > room.height)) {
    --dpi;
  }
  return dpi;
}
