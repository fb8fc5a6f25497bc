#include "view_win32/win32_window.h"

#include <functional>
#include <utility>

#include "app/window_table.h"
#include "support/fakes.h"
#include "view_win32/dpi.h"
#include "view_win32/gdi_handles.h"
#include "view_win32/win32_dialogs.h"

namespace {

constexpr const char* kBox1 = "CheckEffizienz";

class Win32WindowTest : public ModuleTest {
 protected:
  Win32WindowTest() {
    Put("parameter/Program.ini", "[Machine1]\r\nZaroMainPictureStatus=1\r\n");
    Put("Zaro_MainPictureExt/Zaro_MainPictureExt.cfg", "[Project]\r\nValidMachines=1\r\n");
    Put("Tools/Zaro_MainPictureExt_Config.ini", "[1031]\r\nHelp2=Abbruch\r\nHelp11=Effizienz\r\n");
  }

  HWND Window(const std::string& name) const { return view_.ControlWindow(name); }

  RECT PlaceOf(const std::string& name) const {
    RECT place{};
    GetWindowRect(Window(name), &place);
    MapWindowPoints(nullptr, view_.handle(), reinterpret_cast<POINT*>(&place), 2);
    return place;
  }

  // A control painted as the window would paint it.
  struct Painting {
    GdiObject bitmap;
    MemoryDc dc;
    COLORREF At(int x, int y) const { return GetPixel(dc.get(), x, y); }
  };
  Painting Paint(const std::string& name) const {
    HDC screen = GetDC(nullptr);
    Painting painting{GdiObject(CreateCompatibleBitmap(screen, 200, 200)),
                      MemoryDc(CreateCompatibleDC(screen))};
    ReleaseDC(nullptr, screen);
    SelectObject(painting.dc.get(), painting.bitmap.get());
    SendMessageW(Window(name), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(painting.dc.get()),
                 PRF_CLIENT);
    return painting;
  }

  // A window comes up over the view, takes the activation and goes again.
  static void ComeAndGo(HWND owner) {
    HWND box = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 40, 40, owner, nullptr, nullptr,
                               nullptr);
    SetActiveWindow(box);
    DestroyWindow(box);
  }

  bool Checked(const std::string& name) const {
    return SendMessageW(Window(name), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }

  Form form_ = MakeMainForm();
  ConfigWindow window_{module_, form_};
  Win32Window view_{module_, form_, window_};
};

TEST_F(Win32WindowTest, ControlsKeepTheTablesPlacesAt96And144Dpi) {
  ASSERT_NE(view_.handle(), nullptr);
  for (const int dpi : {96, 144}) {
    SCOPED_TRACE(dpi);
    if (dpi != view_.dpi()) {
      RECT suggested{};
      GetWindowRect(view_.handle(), &suggested);
      SendMessageW(view_.handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
    }
    const auto pixels = [dpi](int twips) { return (twips * dpi + 720) / 1440; };
    RECT client{};
    GetClientRect(view_.handle(), &client);
    EXPECT_EQ(client.right, pixels(kClientWidthTwips));
    EXPECT_EQ(client.bottom, pixels(kClientHeightTwips));
    for (const ControlDesign& design : MainWindowTable()) {
      SCOPED_TRACE(design.name);
      ASSERT_NE(Window(design.name), nullptr);
      int left = design.left;
      int top = design.top;
      for (std::string outer = design.container; !outer.empty();) {
        const ControlDesign& container = form_[outer].design();
        left += container.left;
        top += container.top;
        outer = container.container;
      }
      const RECT place = PlaceOf(design.name);
      EXPECT_EQ(place.left, pixels(left));
      EXPECT_EQ(place.top, pixels(top));
      EXPECT_EQ(place.right, pixels(left + design.width));
      EXPECT_EQ(place.bottom, pixels(top + design.height));
      if (!design.font.family.empty()) {
        const auto shown =
            reinterpret_cast<HGDIOBJ>(SendMessageW(Window(design.name), WM_GETFONT, 0, 0));
        LOGFONTW font{};
        GetObjectW(shown, sizeof font, &font);
        const int height = static_cast<int>(design.font.points * dpi / 72 + 0.5);
        EXPECT_EQ(font.lfHeight, -height);
        EXPECT_EQ(font.lfWeight, FW_BOLD);
        // The height the system delivers: a bitmap face keeps to a few fixed sizes.
        TEXTMETRICW delivered{};
        MemoryDc dc(CreateCompatibleDC(nullptr));
        Selection use(dc.get(), shown);
        GetTextMetricsW(dc.get(), &delivered);
        EXPECT_EQ(delivered.tmHeight - delivered.tmInternalLeading, height);
      }
    }
  }
  EXPECT_FALSE(IsWindowEnabled(Window("CommandOK")));
  EXPECT_EQ(GetWindowLongW(view_.handle(), GWL_STYLE) & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
  const LONG box_style = GetWindowLongW(Window(kBox1), GWL_STYLE);
  EXPECT_EQ(box_style & (BS_LEFTTEXT | BS_RIGHT), BS_LEFTTEXT | BS_RIGHT);
}

TEST_F(Win32WindowTest, ClicksAndKeysReachTheLogicAndHelpModeShows) {
  window_.Form_Load();
  view_.Show(SW_SHOWNORMAL);
  EXPECT_TRUE(Checked(kBox1));
  EXPECT_EQ(Paint("CommandQuest").At(6, 6), RGB(192, 192, 192));

  SendMessageW(Window(kBox1), BM_CLICK, 0, 0);
  EXPECT_EQ(form_[kBox1].Value(), 0);
  EXPECT_FALSE(Checked(kBox1));

  // Two quick clicks are two clicks, though a button reports the second as a double click.
  const auto quick_clicks = [this](const char* name, const std::function<int()>& state) {
    std::vector<int> seen;
    for (const UINT down : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}) {
      SendMessageW(Window(name), down, MK_LBUTTON, MAKELPARAM(4, 4));
      SendMessageW(Window(name), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
      seen.push_back(state());
    }
    return seen;
  };
  EXPECT_EQ(quick_clicks(kBox1, [this] { return form_[kBox1].Value(); }), (std::vector<int>{1, 0}));
  EXPECT_EQ(quick_clicks("CommandQuest", [this] { return module_.state.HelpMode ? 1 : 0; }),
            (std::vector<int>{1, 0}));

  SendMessageW(Window("CommandQuest"), BM_CLICK, 0, 0);
  EXPECT_EQ(Paint("CommandQuest").At(6, 6), RGB(0, 255, 0));
  SendMessageW(Window(kBox1), BM_CLICK, 0, 0);
  EXPECT_FALSE(Checked(kBox1)) << "help mode undoes the click";
  EXPECT_EQ(form_[kBox1].Value(), 0);

  // Tab walks the table's tab order.
  HWND focus = Window("CheckAuswurfAufTatsächliche");
  for (const char* name :
       {kBox1, "CommandOK", "CommandCancel", "CommandQuest", "CheckAuswurfAufTatsächliche"}) {
    focus = GetNextDlgTabItem(view_.handle(), focus, FALSE);
    EXPECT_EQ(focus, Window(name)) << name;
  }

  // Enter presses the focused button; there is no default button.
  SetFocus(Window("CommandCancel"));
  MSG enter{Window("CommandCancel"), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
  EXPECT_TRUE(view_.PreTranslateMessage(enter));
  ASSERT_EQ(dialogs_.shown.size(), 2U);
  EXPECT_EQ(dialogs_.shown[0].text, "Effizienz");
  EXPECT_EQ(dialogs_.shown[1].text, "Abbruch");
  EXPECT_EQ(dialogs_.shown[1].title, "Info:");
}

TEST_F(Win32WindowTest, TheCloseBoxAndTheSessionsEndAskFirst) {
  window_.Form_Load();
  view_.Show(SW_SHOWNORMAL);
  dialogs_.answers = {MessageAnswer::kNo, MessageAnswer::kNo, MessageAnswer::kYes};
  SendMessageW(view_.handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(SendMessageW(view_.handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), FALSE);
  EXPECT_TRUE(IsWindow(view_.handle()));
  EXPECT_EQ(SendMessageW(view_.handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  EXPECT_EQ(ReadBytes(CfgLog()),
            "Konfigurations-EXE wurde abgebrochen:     Zaro_MainPictureExt\r\n");
  SendMessageW(view_.handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_FALSE(IsWindow(view_.handle()));
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  ASSERT_EQ(dialogs_.shown.size(), 3U);
  EXPECT_EQ(dialogs_.shown[2].title, "Cancel?");
}

TEST_F(Win32WindowTest, OnlyTheWindowsOwnActivationEnablesOK) {
  window_.Form_Load();
  view_.Show(SW_SHOWNORMAL);
  // OK was clicked; the save meets a stored word out of range and the user goes on.
  form_["CommandOK"].SetEnabled(false);
  Put("parameter/Program.ini", "[Machine1]\r\nZaroMainPictureStatus=40000\r\n");
  dialogs_.answers = {MessageAnswer::kYes};
  dialogs_.on_show = [this] { ComeAndGo(view_.handle()); };
  window_.WriteInputs();
  ASSERT_FALSE(dialogs_.shown.empty());
  EXPECT_FALSE(IsWindowEnabled(Window("CommandOK")));
  ComeAndGo(nullptr);
  EXPECT_TRUE(IsWindowEnabled(Window("CommandOK")));
}

TEST_F(Win32WindowTest, FramesShowTheirTooltipsAndButtonsTheirCaptions) {
  Put("Tools/Zaro_MainPictureExt_Config.ini",
      "[1031]\r\nTTT_MainFrame_=Aussen\r\nTTT_FrameFPI_=Innen\r\n");
  window_.Form_Load();
  // The caption in text colour right of the picture (a red cross).
  form_["CommandCancel"].SetCaption("Abbrechen");
  const Painting painting = Paint("CommandCancel");
  const RECT button = PlaceOf("CommandCancel");
  int text_pixels = 0;
  for (int x = (button.right - button.left) / 2; x < button.right - button.left - 4; ++x) {
    for (int y = 4; y < button.bottom - button.top - 4; ++y) {
      text_pixels += painting.At(x, y) == GetSysColor(COLOR_BTNTEXT);
    }
  }
  EXPECT_GT(text_pixels, 20);

  // The mouse over a frame is over the window: the inner frame's place wins over the outer's.
  for (const auto& [frame, tip] : {std::pair{"FrameFPI", L"Innen"}, {"MainFrame", L"Aussen"}}) {
    const RECT place = PlaceOf(frame);
    wchar_t shown[80] = {};
    TTHITTESTINFOW hit{view_.handle(), {place.right - 6, place.bottom - 6}, {}};
    hit.ti.cbSize = sizeof hit.ti;
    hit.ti.lpszText = shown;
    EXPECT_TRUE(SendMessageW(view_.tool_tips(), TTM_HITTESTW, 0, reinterpret_cast<LPARAM>(&hit)));
    EXPECT_STREQ(shown, tip) << frame;
  }
}

TEST_F(Win32WindowTest, WithoutThePerMonitorFunctionsTheWindowScalesAtTheSystemDpi) {
  const DpiApi system = std::exchange(SystemDpiApi(), DpiApi{});
  Form form = MakeMainForm();
  ConfigWindow logic{module_, form};
  Win32Window view{module_, form, logic};
  SystemDpiApi() = system;
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  RECT client{};
  GetClientRect(view.handle(), &client);
  EXPECT_EQ((std::vector<int>{view.dpi(), client.right, client.bottom}),
            (std::vector<int>{dpi, TwipsToPixels(kClientWidthTwips, dpi),
                              TwipsToPixels(kClientHeightTwips, dpi)}));
}

TEST(Win32MessageBox, RequestBecomesTheSystemFlags) {
  using enum MessageAnswer;
  EXPECT_EQ(MessageBoxFlags({"", "", MessageIcon::kCritical, MessageButtons::kYesNo, kYes}),
            UINT{MB_ICONERROR | MB_YESNO | MB_DEFBUTTON1});
  EXPECT_EQ(MessageBoxFlags({"", "", MessageIcon::kWarning, MessageButtons::kYesNo, kNo}),
            UINT{MB_ICONWARNING | MB_YESNO | MB_DEFBUTTON2});
  EXPECT_EQ(MessageBoxFlags({"", "", MessageIcon::kInformation, MessageButtons::kOk, kOk}),
            UINT{MB_ICONINFORMATION | MB_OK});
}

}  // namespace
