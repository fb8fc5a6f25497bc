// Tests of the conversion from twips to pixels.
// SPDX-License-Identifier: MIT
#include "form/twips.h"

#include <gtest/gtest.h>

// Both views place controls with this; twips off the 15-twip grid are where a truncation shows.
TEST(Twips, EveryEdgeLandsOnTheNearestPixel) {
  const int rows[][3] = {
      {7350, 96, 490}, {7357, 96, 490}, {7358, 96, 491}, {7357, 144, 736}, {-7358, 96, -491}};
  for (const auto& [twips, dpi, pixels] : rows)
    EXPECT_EQ(TwipsToPixels(twips, dpi), pixels) << twips << " at " << dpi;
  // Inside a container, the edges come from the twips to the client area, not rounded parts.
  Form form("", {{.name = "Frame", .kind = ControlKind::kFrame, .left = 7, .top = 7, .width = 300},
                 {.name = "Box", .container = "Frame", .left = 7, .top = 22, .width = 23}});
  EXPECT_EQ(PlaceInClient(form, form["Box"].design(), 96), (PixelRect{1, 2, 2, 2}));
}
