// The window's side of the message loop: what it does with each message the system sends.
// SPDX-License-Identifier: MIT
#include <algorithm>

#include "errors/error_handler.h"
#include "view_win32/win32_window.h"

bool Win32Window::PreTranslateMessage(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN) return false;
  const Item* item = ItemOf(GetFocus());
  if (item == nullptr || item->control->design().kind != ControlKind::kCommandButton) {
    return false;
  }
  SendMessageW(item->handle, BM_CLICK, 0, 0);
  return true;
}

int Win32Window::RunMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (PreTranslateMessage(message)) continue;
    if (IsWindow(handle_) != 0 && IsDialogMessageW(handle_, &message) != 0) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

LRESULT CALLBACK Win32Window::WindowProc(HWND handle, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    auto* creating = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    creating->handle_ = handle;
    SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creating));
  }
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(handle, message, w, l);
  return self->OnMessage(message, w, l);
}

LRESULT Win32Window::OnMessage(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_COMMAND:
      if (l != 0) OnCommand(LOWORD(w), HIWORD(w));
      return 0;
    case WM_DRAWITEM:
      return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(l)) ? TRUE : FALSE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return OnControlColour(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l));
    case WM_ERASEBKGND:
      OnEraseBackground(reinterpret_cast<HDC>(w));
      return TRUE;
    case WM_SETCURSOR:
      if (OnSetCursor()) return TRUE;
      break;
    case WM_ACTIVATE:
      OnActivate(LOWORD(w) != WA_INACTIVE, reinterpret_cast<HWND>(l));
      return 0;
    case WM_SIZE:
      RunOutermost(module_, [&] { logic_.Form_Resize(); });
      return 0;
    case WM_GETMINMAXINFO:
      OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(l));
      return 0;
    case WM_SETTINGCHANGE:
      OnSettingChange();
      return 0;
    case WM_SYSCOLORCHANGE:
      OnSystemColours();
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(LOWORD(w), *reinterpret_cast<const RECT*>(l));
      return 0;
    case WM_CLOSE:
      if (MayClose()) DestroyWindow(handle_);
      return 0;
    case WM_QUERYENDSESSION:
      return OnQueryEndSession() ? TRUE : FALSE;
    case WM_ENDSESSION:
      // The session ends as agreed: the program goes with it, as with its closed window.
      if (w != FALSE) DestroyWindow(handle_);
      return 0;
    case kEndAfterCancel:
      DestroyWindow(handle_);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(handle_, message, w, l);
}

void Win32Window::OnCommand(int id, int code) {
  const int position = id - kFirstControlId;
  // An owner-drawn button reports the second of two quick clicks as a double click.
  const bool click = code == BN_CLICKED || code == BN_DOUBLECLICKED;
  if (!click || position < 0 || position >= static_cast<int>(items_.size())) return;
  Item& item = items_[static_cast<std::size_t>(position)];
  Control& control = *item.control;
  switch (control.design().kind) {
    case ControlKind::kCheckBox: {
      if (code != BN_CLICKED) break;
      // The box has toggled itself; the form learns it as the box's click.
      const int value = SendMessageW(item.handle, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
      if (value != control.Value()) RunOutermost(module_, [&] { control.SetValue(value); });
      break;
    }
    case ControlKind::kCommandButton:
      RunOutermost(module_, [&] { control.Click(); });
      break;
    default:
      break;
  }
}

void Win32Window::OnEraseBackground(HDC dc) {
  RECT client;
  GetClientRect(handle_, &client);
  FillRect(dc, &client, BrushOf(ColoursOf(kDesignBackColor).face));
}

bool Win32Window::OnSetCursor() {
  if (form_.Pointer() != MousePointer::kHourglass) return false;
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  return true;
}

void Win32Window::OnActivate(bool active, HWND previous) {
  if (!active) {
    last_focus_ = GetFocus();
    return;
  }
  // Back from a box of its own (an error, the cancel question) the window was active all along:
  // OK stays as the save left it.
  if (previous == nullptr || GetWindow(previous, GW_OWNER) != handle_) {
    RunOutermost(module_, [&] { logic_.Form_Activate(); });
  }
  if (last_focus_ != nullptr && IsWindow(last_focus_) != 0) SetFocus(last_focus_);
}

void Win32Window::OnGetMinMaxInfo(MINMAXINFO& limits) {
  // The designed size holds even where it exceeds the screen (a high DPI on a small one).
  limits.ptMaxTrackSize.x = std::max<LONG>(limits.ptMaxTrackSize.x, kLargestTrackSize);
  limits.ptMaxTrackSize.y = std::max<LONG>(limits.ptMaxTrackSize.y, kLargestTrackSize);
}

void Win32Window::OnSettingChange() {
  // Broadcast for every setting: only high contrast changes what the window paints.
  if (high_contrast_() != high_contrast_on_) OnSystemColours();
}

bool Win32Window::OnQueryEndSession() {
  if (!MayClose()) return false;
  // The cancel is logged: the program ends, also when another program then keeps the session
  // going, once the session has its answer.
  PostMessageW(handle_, kEndAfterCancel, 0, 0);
  return true;
}

bool Win32Window::MayClose() {
  std::int16_t cancel = 0;
  RunOutermost(module_, [&] { logic_.Form_QueryUnload(cancel, 0); });
  return cancel == 0;
}

void Win32Window::OnDpiChanged(int dpi, const RECT& suggested) {
  // The system's rectangle lies on the new monitor; a size of our own could send the window
  // back. Only one too large for that monitor's work area shrinks.
  SetWindowPos(handle_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  FitIntoWorkArea(dpi);
  Layout();
}
