// The command buttons' pictures as drawing instructions, so every view draws the same one.
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// The pictures of the command buttons as drawing instructions, so that every view draws the
// same picture with its own painter. Coordinates are in the picture's own pixels (at 96 DPI),
// origin top left; whatever no shape covers is transparent.

struct ArtColour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
};

struct ArtPoint {
  double x = 0;
  double y = 0;
};

enum class ArtShapeKind {
  // An open line through cubic Bézier segments: a start point, then three points per segment
  // (two control points and the end). Round caps and joins, `width` wide.
  kStroke,
  // A closed polygon through the points, filled.
  kPolygon,
  // A filled circle around points[0] with `radius`.
  kDisc,
};

struct ArtShape {
  ArtShapeKind kind = ArtShapeKind::kStroke;
  std::vector<ArtPoint> points;
  double width = 0;
  double radius = 0;
  ArtColour colour;
};

struct ButtonArt {
  int width = 0;
  int height = 0;
  std::vector<ArtShape> shapes;  // painted in this order
};

// The picture named in the table of controls: "help" (41 x 45), "ok" (44 x 36), "cancel"
// (37 x 39); nullptr for any other name.
const ButtonArt* ButtonArtNamed(std::string_view name);

// A straight stroke from `from` to `to`, as the one Bézier segment that is that line.
ArtShape StraightStroke(ArtPoint from, ArtPoint to, double width, ArtColour colour);
