// Draws the button pictures with GDI, smoothed.
// SPDX-License-Identifier: MIT
#include "view_win32/button_art.h"

#include <cmath>
#include <vector>

#include "view_win32/dpi.h"
#include "view_win32/gdi_handles.h"

namespace {

constexpr int kOversampling = 4;

COLORREF ColourOf(ArtColour colour, COLORREF face, bool disabled) {
  if (!disabled) return RGB(colour.red, colour.green, colour.blue);
  // Two thirds of the way to the face: still recognisable, plainly unavailable.
  const auto mix = [](int art, int back) { return static_cast<BYTE>((art + 2 * back) / 3); };
  return RGB(mix(colour.red, GetRValue(face)), mix(colour.green, GetGValue(face)),
             mix(colour.blue, GetBValue(face)));
}

void DrawShape(HDC dc, const ArtShape& shape, double scale, COLORREF colour) {
  std::vector<POINT> points;
  points.reserve(shape.points.size());
  for (const ArtPoint& p : shape.points) {
    points.push_back(
        {static_cast<LONG>(std::lround(p.x * scale)), static_cast<LONG>(std::lround(p.y * scale))});
  }
  if (points.empty()) return;
  switch (shape.kind) {
    case ArtShapeKind::kStroke: {
      const LOGBRUSH brush{BS_SOLID, colour, 0};
      GdiObject pen(ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                                 static_cast<DWORD>(std::lround(shape.width * scale)), &brush, 0,
                                 nullptr));
      Selection use_pen(dc, pen.get());
      PolyBezier(dc, points.data(), static_cast<DWORD>(points.size()));
      break;
    }
    case ArtShapeKind::kPolygon: {
      GdiObject brush(CreateSolidBrush(colour));
      Selection use_pen(dc, GetStockObject(NULL_PEN));
      Selection use_brush(dc, brush.get());
      Polygon(dc, points.data(), static_cast<int>(points.size()));
      break;
    }
    case ArtShapeKind::kDisc: {
      GdiObject brush(CreateSolidBrush(colour));
      Selection use_pen(dc, GetStockObject(NULL_PEN));
      Selection use_brush(dc, brush.get());
      const auto r = static_cast<LONG>(std::lround(shape.radius * scale));
      const POINT c = points.front();
      Ellipse(dc, c.x - r, c.y - r, c.x + r + 1, c.y + r + 1);
      break;
    }
  }
}

}  // namespace

void DrawButtonArt(HDC dc, const RECT& box, const ButtonArt& art, COLORREF face, int dpi,
                   bool disabled, std::optional<COLORREF> ink) {
  const int width = MulDiv(art.width, dpi, kDefaultDpi);
  const int height = MulDiv(art.height, dpi, kDefaultDpi);
  const int big_width = width * kOversampling;
  const int big_height = height * kOversampling;
  MemoryDc canvas(CreateCompatibleDC(dc));
  GdiObject bitmap(CreateCompatibleBitmap(dc, big_width, big_height));
  if (!canvas || !bitmap) return;
  Selection use_bitmap(canvas.get(), bitmap.get());
  GdiObject back(CreateSolidBrush(face));
  const RECT all{0, 0, big_width, big_height};
  FillRect(canvas.get(), &all, static_cast<HBRUSH>(back.get()));
  const double scale = static_cast<double>(kOversampling) * dpi / kDefaultDpi;
  for (const ArtShape& shape : art.shapes) {
    const ArtColour colour =
        ink ? ArtColour{GetRValue(*ink), GetGValue(*ink), GetBValue(*ink)} : shape.colour;
    DrawShape(canvas.get(), shape, scale, ColourOf(colour, face, disabled));
  }
  const int left = box.left + (box.right - box.left - width) / 2;
  const int top = box.top + (box.bottom - box.top - height) / 2;
  const int old_mode = SetStretchBltMode(dc, HALFTONE);
  POINT old_origin;
  SetBrushOrgEx(dc, 0, 0, &old_origin);
  StretchBlt(dc, left, top, width, height, canvas.get(), 0, 0, big_width, big_height, SRCCOPY);
  SetStretchBltMode(dc, old_mode);
  SetBrushOrgEx(dc, old_origin.x, old_origin.y, nullptr);
}
