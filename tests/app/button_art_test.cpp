// Tests of the button pictures.
// SPDX-License-Identifier: MIT
#include "app/button_art.h"

#include <gtest/gtest.h>

#include "app/window_table.h"

// A shape that leaves its box is cut off in one view and not in the other.
TEST(ButtonArt, EveryPictureOfTheTableStaysInsideItsBox) {
  for (const ControlDesign& design : MainWindowTable()) {
    if (design.picture.empty()) continue;
    const ButtonArt* art = ButtonArtNamed(design.picture);
    ASSERT_NE(art, nullptr) << design.picture;
    EXPECT_FALSE(art->shapes.empty()) << design.picture;
    for (const ArtShape& shape : art->shapes) {
      const double reach = shape.kind == ArtShapeKind::kDisc ? shape.radius : shape.width / 2;
      for (std::size_t i = 0; i < shape.points.size(); ++i) {
        // Control points of a curve need not lie on it.
        if (shape.kind == ArtShapeKind::kStroke && i % 3 != 0) continue;
        const ArtPoint& p = shape.points[i];
        EXPECT_TRUE(p.x - reach >= 0 && p.y - reach >= 0 && p.x + reach <= art->width &&
                    p.y + reach <= art->height)
            << design.picture << " at " << p.x << "," << p.y;
      }
    }
  }
}
