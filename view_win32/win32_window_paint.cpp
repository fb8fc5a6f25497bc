// How the window paints its owner-drawn buttons and the colours of its controls.
// SPDX-License-Identifier: MIT
#include "view_win32/win32_window.h"

// How the window paints: its owner-drawn buttons and the colours of its controls, the designed
// ones or, under high contrast, the system's.

#include <algorithm>
#include <optional>

#include "app/button_art.h"
#include "base/codepage.h"
#include "view_win32/button_art.h"
#include "view_win32/dpi.h"

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
  const bool disabled = (draw.itemState & ODS_DISABLED) != 0;
  // Picture and caption side by side, centred together, as the Linux window shows them.
  const ButtonArt* art = ButtonArtNamed(control.design().picture);
  const std::wstring caption = text::WideOf(control.Caption());
  Selection use_font(draw.hDC, item->font.get());
  SIZE words{};
  if (!caption.empty()) {
    GetTextExtentPoint32W(draw.hDC, caption.c_str(), static_cast<int>(caption.size()), &words);
  }
  const int picture_width = art != nullptr ? MulDiv(art->width, dpi_, kDefaultDpi) : 0;
  const int gap = art != nullptr && !caption.empty() ? MulDiv(4, dpi_, kDefaultDpi) : 0;
  RECT place = face;
  place.left = std::max(face.left, (face.left + face.right - picture_width - gap - words.cx) / 2);
  if (pushed) OffsetRect(&place, 1, 1);
  if (art != nullptr) {
    const RECT picture{place.left, place.top, place.left + picture_width, place.bottom};
    DrawButtonArt(draw.hDC, picture, *art, colours.face, dpi_, disabled,
                  colours.system_text ? std::optional(colours.text) : std::nullopt);
    place.left += picture_width + gap;
  }
  if (!caption.empty()) {
    const int old_mode = SetBkMode(draw.hDC, TRANSPARENT);
    const COLORREF old_colour =
        SetTextColor(draw.hDC, disabled ? GetSysColor(COLOR_GRAYTEXT) : colours.text);
    DrawTextW(draw.hDC, caption.c_str(), -1, &place, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SetTextColor(draw.hDC, old_colour);
    SetBkMode(draw.hDC, old_mode);
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
  high_contrast_on_ = high_contrast_();
  brushes_.clear();
  RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}
