// The system's per-monitor DPI functions, where it has them.
// SPDX-License-Identifier: MIT
#include "view_win32/dpi.h"

#include "base/codepage.h"

namespace {

// GCC lets a function pointer pass through void(*)() to any other function type.
template <typename Function>
Function Lookup(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

DpiApi LoadDpiApi() {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return {};
  return {
      Lookup<decltype(DpiApi::get_dpi_for_window)>(user32, "GetDpiForWindow"),
      Lookup<decltype(DpiApi::adjust_window_rect_ex_for_dpi)>(user32, "AdjustWindowRectExForDpi"),
      WorkAreaNear};
}

int CALLBACK FoundFont(const LOGFONTW* /*font*/, const TEXTMETRICW* /*metrics*/, DWORD /*type*/,
                       LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool Installed(const wchar_t* face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &wanted, &FoundFont, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

std::wstring FaceOf(std::string_view family) {
  static const bool has_twin = Installed(L"Microsoft Sans Serif");
  if (family == "MS Sans Serif" && has_twin) return L"Microsoft Sans Serif";
  return text::WideOf(family);
}

}  // namespace

RECT WorkAreaNear(const RECT& window) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoW(MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST), &monitor) != FALSE) {
    return monitor.rcWork;
  }
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

const DpiApi& SystemDpiApi() {
  static const DpiApi api = LoadDpiApi();
  return api;
}

int WindowDpi(const DpiApi& api, HWND window) {
  int dpi = 0;
  if (api.get_dpi_for_window != nullptr) {
    dpi = static_cast<int>(api.get_dpi_for_window(window));
  } else if (HDC screen = GetDC(nullptr)) {
    dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
  }
  return dpi > 0 ? dpi : kDefaultDpi;
}

void AdjustWindowRectAtDpi(const DpiApi& api, RECT& rect, DWORD style, int dpi) {
  if (api.adjust_window_rect_ex_for_dpi != nullptr) {
    api.adjust_window_rect_ex_for_dpi(&rect, style, FALSE, 0, static_cast<UINT>(dpi));
  } else {
    AdjustWindowRectEx(&rect, style, FALSE, 0);
  }
}

HFONT CreateDesignFont(const FontDesign& design, int dpi) {
  return CreateFontW(FontHeightAt(design.points, dpi), 0, 0, 0, design.bold ? FW_BOLD : FW_NORMAL,
                     FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, FaceOf(design.family).c_str());
}
