// The window on screen with the system's own controls, built from the form's table.
// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/config_window.h"
#include "base/module.h"
#include "form/form.h"
#include "view_win32/dpi.h"
#include "view_win32/gdi_handles.h"
#include "view_win32/system_colours.h"

// The window on screen with the system's own controls, built from the form's table. It mirrors
// the form's controls and hands every user action to the window's logic; nothing escapes an
// event into the system's message dispatch.
class Win32Window {
 public:
  // Creates the window hidden, at the DPI of the monitor it lands on, inside its work area.
  // Test seams: `high_contrast` reads the system's setting, at the start and on every change of
  // the system's colours; `dpi_api` holds the system's per-monitor DPI functions.
  Win32Window(Module& module, Form& form, ConfigWindow& logic,
              std::function<bool()> high_contrast = SystemHighContrast,
              DpiApi dpi_api = SystemDpiApi());
  ~Win32Window();
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  HWND handle() const { return handle_; }
  // The system window that shows a control, by the control's name; nullptr for none.
  HWND ControlView(const std::string& name) const;
  // The DPI the form is drawn at: the monitor's, or less where the window would not fit.
  int dpi() const { return dpi_; }
  HWND tool_tips() const { return tool_tips_; }

  // Shows the window and puts the focus on the first control in the tab order.
  void Show(int show_command);
  // Keys that act before the dialog manager sees them: Enter presses the focused button (there
  // is no default button). True when the message was used.
  bool PreTranslateMessage(const MSG& message);
  // Runs the messages until the window is gone; returns the quit code.
  int RunMessageLoop();

 private:
  struct Item {
    Control* control = nullptr;
    HWND handle = nullptr;
    GdiObject font;
    std::wstring tool_tip;  // the tooltip keeps a pointer to it
  };

  static constexpr int kFirstControlId = 100;
  static constexpr UINT kEndAfterCancel = WM_APP;
  // Above any screen's size in pixels, so that the system never shrinks the window to fit one.
  static constexpr LONG kLargestTrackSize = 4 * 1024;
  // Room for the window text read back from a control, terminating zero included.
  static constexpr int kCaptionBuffer = 512;

  static LRESULT CALLBACK WindowProc(HWND handle, UINT message, WPARAM w, LPARAM l);
  LRESULT OnMessage(UINT message, WPARAM w, LPARAM l);
  void OnCommand(int id, int code);
  bool OnDrawItem(const DRAWITEMSTRUCT& draw);
  LRESULT OnControlColour(HDC dc, HWND control);
  void OnEraseBackground(HDC dc);
  // True when the form's pointer is the hourglass, which then is set.
  bool OnSetCursor();
  // On activation `previous` had it before; nullptr when that was another program's window.
  void OnActivate(bool active, HWND previous);
  static void OnGetMinMaxInfo(MINMAXINFO& limits);
  void OnSettingChange();
  // True to let the session end.
  bool OnQueryEndSession();
  // The close request of the title bar or of the session's end: true to let the window go.
  bool MayClose();
  void OnDpiChanged(int dpi, const RECT& suggested);
  void OnSystemColours();

  void CreateControls();
  void OrderForTabbing();
  // The window's size for the client area the table wants at dpi_, its frame at `window_dpi`.
  void SizeForClientArea(int window_dpi);
  // Draws the form at the largest DPI up to `window_dpi` at which the window fits into its
  // monitor's work area, and moves it inside: OK and Cancel never lie under the taskbar or off
  // the screen, where a touch panel without a keyboard could not reach them.
  void FitIntoWorkArea(int window_dpi);
  // Places and fonts of the controls at the window's DPI.
  void Layout();
  // The tooltip's tool of a control, pointing at its text.
  TTTOOLINFOW ToolOf(Item& item) const;
  void Mirror(Item& item);
  void MirrorForm();
  Item* ItemOf(HWND control);
  PaintColours ColoursOf(std::uint32_t design_colour) const;
  HBRUSH BrushOf(COLORREF colour);

  Module& module_;
  Form& form_;
  ConfigWindow& logic_;
  const std::function<bool()> high_contrast_;
  const DpiApi dpi_api_;
  HWND handle_ = nullptr;
  HWND tool_tips_ = nullptr;
  int dpi_ = 96;
  std::vector<Item> items_;
  std::map<COLORREF, GdiObject> brushes_;
  bool high_contrast_on_ = false;
  std::string named_language_;  // the language the buttons' names are in
  HWND last_focus_ = nullptr;
  MousePointer shown_pointer_ = MousePointer::kDefault;
};
