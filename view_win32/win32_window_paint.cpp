// How the window paints: its owner-drawn buttons and the colours of its controls, the designed
// ones or, under high contrast, the system's.
#include "view_win32/win32_window.h"

#include <optional>

#include "app/button_art.h"
#include "view_win32/button_drawing.h"

PaintColours Win32Window::ColoursOf(std::uint32_t design_colour) const {
  return ColoursFor(design_colour, high_contrast_on_);
}

HBRUSH Win32Window::BrushOf(COLORREF colour) {
  GdiObject& brush = brushes_[colour];
  if (!brush) brush.reset(CreateSolidBrush(colour));
  return static_cast<HBRUSH>(brush.get());
}

bool Win32Window::OnDrawItem(const DRAWITEMSTRUCT& draw) {
  Item* item = ItemOf(draw.hwndItem);
  if (item == nullptr) return false;
  const Control& control = *item->control;
  const bool pushed = (draw.itemState & ODS_SELECTED) != 0;
  const PaintColours colours = ColoursOf(control.BackColor());
  RECT face = draw.rcItem;
  FillRect(draw.hDC, &face, BrushOf(colours.face));
  DrawEdge(draw.hDC, &face, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
  if (const ButtonArt* art = ButtonArtNamed(control.design().picture)) {
    RECT picture = face;
    if (pushed) OffsetRect(&picture, 1, 1);
    DrawButtonArt(draw.hDC, picture, *art, colours.face, dpi_, (draw.itemState & ODS_DISABLED) != 0,
                  colours.system_text ? std::optional(colours.text) : std::nullopt);
  }
  // No focus mark while the system hides keyboard cues (until the keyboard is used).
  if ((draw.itemState & ODS_FOCUS) != 0 && (draw.itemState & ODS_NOFOCUSRECT) == 0) {
    InflateRect(&face, -2, -2);
    DrawFocusRect(draw.hDC, &face);
  }
  return true;
}

LRESULT Win32Window::OnControlColour(HDC dc, HWND control) {
  const Item* item = ItemOf(control);
  const PaintColours colours =
      ColoursOf(item != nullptr ? item->control->BackColor() : kDesignBackColor);
  SetBkColor(dc, colours.face);
  if (colours.system_text) SetTextColor(dc, colours.text);
  return reinterpret_cast<LRESULT>(BrushOf(colours.face));
}

void Win32Window::OnSystemColours() {
  high_contrast_on_ = high_contrast();
  brushes_.clear();
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}
