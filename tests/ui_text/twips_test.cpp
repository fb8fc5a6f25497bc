#include "ui_text/twips.h"

#include <gtest/gtest.h>

namespace {

// Both views place controls with this; twips off the 15-twip grid are where a truncation shows.
TEST(Twips, EveryEdgeLandsOnTheNearestPixel) {
  const struct {
    int twips, dpi, pixels;
  } rows[] = {
      {7350, 96, 490}, {7357, 96, 490}, {7358, 96, 491}, {7357, 144, 736}, {-7358, 96, -491}};
  for (const auto& row : rows) {
    EXPECT_EQ(TwipsToPixels(row.twips, row.dpi), row.pixels) << row.twips << " at " << row.dpi;
  }
  // Inside a container, the edges come from the twips to the client area, not rounded parts.
  Form form("", {{.name = "Frame", .kind = ControlKind::kFrame, .left = 7, .top = 7, .width = 300},
                 {.name = "Box", .container = "Frame", .left = 7, .top = 22, .width = 23}});
  EXPECT_EQ(PlaceInClient(form, form["Box"].design(), 96), (PixelRect{1, 2, 2, 2}));
}

}  // namespace
