// Builds the Win32 window and its controls from the form's table.
// SPDX-License-Identifier: MIT
#include "view_win32/win32_window.h"

#include <algorithm>
#include <array>
#include <utility>

#include "app/button_art.h"
#include "app/window_table.h"
#include "base/codepage.h"
#include "errors/error_handler.h"
#include "form/accessible_text.h"
#include "view_win32/button_art.h"
#include "view_win32/dpi.h"

namespace {

constexpr const wchar_t* kWindowClass = L"Zaro_MainPictureExt_Config";
// Not WS_CLIPCHILDREN: the window's own grey has to show inside the frames, which paint none.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kProgramIconId = 1;

// No caption carries an access key.
std::wstring WithoutAccessKeys(const std::string& caption) {
  std::wstring shown;
  for (wchar_t c : text::WideOf(caption)) {
    shown += c;
    if (c == L'&') shown += L'&';
  }
  return shown;
}

void RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW window_class{};
  if (GetClassInfoExW(instance, kWindowClass, &window_class) != 0) return;
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = kWindowClass;
  window_class.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kProgramIconId),
                                                     IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  window_class.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kProgramIconId),
                                                       IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                       GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  RegisterClassExW(&window_class);
}

}  // namespace

Win32Window::Win32Window(Module& module, Form& form, ConfigWindow& logic,
                         std::function<bool()> high_contrast, DpiApi dpi_api)
    : module_(module),
      form_(form),
      logic_(logic),
      high_contrast_(std::move(high_contrast)),
      dpi_api_(dpi_api) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterWindowClass(instance, &WindowProc);
  high_contrast_on_ = high_contrast_();
  handle_ = CreateWindowExW(0, kWindowClass, text::WideOf(form_.Caption()).c_str(), kWindowStyle,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                            nullptr, instance, this);
  if (handle_ == nullptr) return;
  dpi_ = WindowDpi(dpi_api_, handle_);
  tool_tips_ =
      CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                      WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, handle_, nullptr, instance, nullptr);
  CreateControls();
  OrderForTabbing();
  SizeForClientArea(dpi_);
  FitIntoWorkArea(dpi_);
  Layout();
  for (Item& item : items_) Mirror(item);
  MirrorForm();
  form_.on_change = [this] { MirrorForm(); };
}

Win32Window::~Win32Window() {
  form_.on_change = nullptr;
  for (Item& item : items_) item.control->on_change = nullptr;
  if (handle_ != nullptr && IsWindow(handle_) != 0) {
    SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
    DestroyWindow(handle_);
  }
}

HWND Win32Window::ControlView(const std::string& name) const {
  for (const Item& item : items_) {
    if (item.control->Name() == name) return item.handle;
  }
  return nullptr;
}

void Win32Window::CreateControls() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  items_.resize(static_cast<std::size_t>(form_.Count()));
  for (int position = 0; position < form_.Count(); ++position) {
    Item& item = items_[static_cast<std::size_t>(position)];
    item.control = &form_.At(position);
    const ControlDesign& design = item.control->design();
    const wchar_t* window_class = L"BUTTON";
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    switch (design.kind) {
      case ControlKind::kLabel:
        window_class = L"STATIC";
        style |= SS_LEFT | SS_NOPREFIX | SS_NOTIFY;
        break;
      case ControlKind::kFrame:
        style |= BS_GROUPBOX;
        break;
      case ControlKind::kCheckBox:
        // Caption on the left, right-aligned next to the box.
        style |= WS_TABSTOP | BS_AUTOCHECKBOX | BS_LEFTTEXT | BS_RIGHT;
        break;
      case ControlKind::kCommandButton:
        style |= WS_TABSTOP | BS_OWNERDRAW;
        break;
    }
    // Every control is a child of the window itself: a group box passes no notification on.
    item.handle =
        CreateWindowExW(0, window_class, L"", style, 0, 0, 0, 0, handle_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + position)),
                        instance, nullptr);
    if (design.kind != ControlKind::kFrame) {
      TTTOOLINFOW tool = ToolOf(item);
      SendMessageW(tool_tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    item.control->on_change = [this, &item](const Control&) { Mirror(item); };
  }
}

void Win32Window::OrderForTabbing() {
  // The dialog manager tabs in z-order. Frames go below everything else, an outer frame below the
  // frames it holds: each is clipped by what lies above it, so none covers its contents.
  const auto depth = [this](const Item* item) {
    int levels = 0;
    for (std::string outer = item->control->design().container; !outer.empty(); ++levels) {
      outer = form_[outer].design().container;
    }
    return levels;
  };
  std::vector<Item*> order;
  for (Item& item : items_) order.push_back(&item);
  std::stable_sort(order.begin(), order.end(), [&depth](const Item* a, const Item* b) {
    const bool a_frame = a->control->design().kind == ControlKind::kFrame;
    const bool b_frame = b->control->design().kind == ControlKind::kFrame;
    if (a_frame != b_frame) return b_frame;
    if (a_frame) return depth(a) > depth(b);
    return a->control->design().tab_index < b->control->design().tab_index;
  });
  HWND previous = HWND_TOP;
  for (Item* item : order) {
    SetWindowPos(item->handle, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = item->handle;
    // A frame lets the mouse through to the window: its tooltip is a place on the window. The
    // tooltip takes the first place that holds the mouse, so inner frames go first.
    if (item->control->design().kind == ControlKind::kFrame) {
      TTTOOLINFOW tool = ToolOf(*item);
      SendMessageW(tool_tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
  }
}

TTTOOLINFOW Win32Window::ToolOf(Item& item) const {
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = handle_;
  tool.uFlags = TTF_SUBCLASS;
  tool.uId = static_cast<UINT_PTR>(GetDlgCtrlID(item.handle));
  if (item.control->design().kind != ControlKind::kFrame) {
    tool.uFlags |= TTF_IDISHWND;
    tool.uId = reinterpret_cast<UINT_PTR>(item.handle);
  }
  tool.lpszText = item.tool_tip.data();
  return tool;
}

void Win32Window::SizeForClientArea(int window_dpi) {
  RECT frame{0, 0, TwipsToPixels(kClientWidthTwips, dpi_), TwipsToPixels(kClientHeightTwips, dpi_)};
  AdjustWindowRectAtDpi(dpi_api_, frame, kWindowStyle, window_dpi);
  SetWindowPos(handle_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The frame may be drawn at another DPI than the one asked for (Wine keeps the system's):
  // measure the client area and make up the difference.
  RECT client{};
  GetClientRect(handle_, &client);
  const int wrong_width = TwipsToPixels(kClientWidthTwips, dpi_) - client.right;
  const int wrong_height = TwipsToPixels(kClientHeightTwips, dpi_) - client.bottom;
  if (wrong_width != 0 || wrong_height != 0) {
    SetWindowPos(handle_, nullptr, 0, 0, frame.right - frame.left + wrong_width,
                 frame.bottom - frame.top + wrong_height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Win32Window::FitIntoWorkArea(int window_dpi) {
  RECT outer{};
  RECT client{};
  GetWindowRect(handle_, &outer);
  GetClientRect(handle_, &client);
  const RECT work = dpi_api_.work_area_near(outer);
  const PixelSize room{(work.right - work.left) - (outer.right - outer.left - client.right),
                       (work.bottom - work.top) - (outer.bottom - outer.top - client.bottom)};
  dpi_ = LargestFittingDpi(window_dpi, kClientWidthTwips, kClientHeightTwips, room);
  if (dpi_ != window_dpi) {
    SizeForClientArea(window_dpi);
    GetWindowRect(handle_, &outer);
  }
  // Where the system put it, as far as the work area allows.
  const LONG left =
      std::max(work.left, std::min(outer.left, work.right - (outer.right - outer.left)));
  const LONG top =
      std::max(work.top, std::min(outer.top, work.bottom - (outer.bottom - outer.top)));
  if (left != outer.left || top != outer.top) {
    SetWindowPos(handle_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Win32Window::Layout() {
  for (Item& item : items_) {
    const ControlDesign& design = item.control->design();
    // Every control is a child of the window itself: its place in the client area is its place.
    const PixelRect pixels = PlaceInClient(form_, design, dpi_);
    const RECT place{pixels.left, pixels.top, pixels.right, pixels.bottom};
    SetWindowPos(item.handle, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (design.kind == ControlKind::kFrame) {
      TTTOOLINFOW tool = ToolOf(item);
      tool.rect = place;
      SendMessageW(tool_tips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    const FontDesign& font = design.font.family.empty() ? kFormFont : design.font;
    // The control lets go of its old font before that is deleted.
    GdiObject scaled(CreateDesignFont(font, dpi_));
    SendMessageW(item.handle, WM_SETFONT, reinterpret_cast<WPARAM>(scaled.get()), TRUE);
    item.font = std::move(scaled);
  }
}

void Win32Window::Mirror(Item& item) {
  const Control& control = *item.control;
  EnableWindow(item.handle, control.Enabled() ? TRUE : FALSE);
  const ControlKind kind = control.design().kind;
  // An owner-drawn button draws no window text: it is the button's name for screen readers.
  const std::string& text = kind == ControlKind::kCommandButton
                                ? AccessibleTextOf(control, form_.Language()).name
                                : control.Caption();
  const std::wstring caption =
      kind == ControlKind::kLabel ? text::WideOf(text) : WithoutAccessKeys(text);
  std::array<wchar_t, kCaptionBuffer> shown{};
  GetWindowTextW(item.handle, shown.data(), kCaptionBuffer);
  if (caption != shown.data()) SetWindowTextW(item.handle, caption.c_str());
  if (control.design().kind == ControlKind::kCheckBox) {
    SendMessageW(item.handle, BM_SETCHECK, control.Value() != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  const std::wstring tip = text::WideOf(control.ToolTipText());
  if (tip != item.tool_tip) {
    item.tool_tip = tip;
    TTTOOLINFOW tool = ToolOf(item);
    SendMessageW(tool_tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  // The back colour (help mode's green) shows on the next paint.
  InvalidateRect(item.handle, nullptr, TRUE);
}

void Win32Window::MirrorForm() {
  SetWindowTextW(handle_, text::WideOf(form_.Caption()).c_str());
  if (form_.Language() != named_language_) {
    named_language_ = form_.Language();
    for (Item& item : items_) Mirror(item);
  }
  if (form_.Pointer() != shown_pointer_) {
    shown_pointer_ = form_.Pointer();
    // Shown at once: the save that follows runs without pumping messages.
    SetCursor(
        LoadCursorW(nullptr, shown_pointer_ == MousePointer::kHourglass ? IDC_WAIT : IDC_ARROW));
  }
}

Win32Window::Item* Win32Window::ItemOf(HWND control) {
  for (Item& item : items_) {
    if (item.handle == control) return &item;
  }
  return nullptr;
}

void Win32Window::Show(int show_command) {
  ShowWindow(handle_, show_command);
  UpdateWindow(handle_);
  if (HWND first = GetNextDlgTabItem(handle_, nullptr, FALSE)) SetFocus(first);
}
