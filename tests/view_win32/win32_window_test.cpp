#include "view_win32/win32_window.h"

#include <functional>
#include <tuple>
#include <utility>

#include "app/window_table.h"
#include "support/fakes.h"
#include "view_win32/dpi.h"
#include "view_win32/gdi_handles.h"
#include "view_win32/main_window.h"
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

  HWND ViewOf(const std::string& name) const { return view_.ControlView(name); }

  RECT PlaceOf(const std::string& name) const {
    RECT place{};
    GetWindowRect(ViewOf(name), &place);
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
    SendMessageW(ViewOf(name), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(painting.dc.get()),
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
    return SendMessageW(ViewOf(name), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }

  Form form_ = MakeMainForm();
  ConfigWindow logic_{module_, form_};
  Win32Window view_{module_, form_, logic_};
};

TEST_F(Win32WindowTest, ControlsKeepTheTablesPlacesAt96And144Dpi) {
  const std::tuple<const char*, RECT, RECT, int, int> rows[] = {
      {"Header", {2, 2, 787, 26}, {3, 3, 1181, 39}, 18, 27},
      {"MainFrame", {0, 26, 792, 510}, {0, 39, 1188, 765}, 0, 0},
      {"FrameFPI", {6, 34, 466, 194}, {9, 51, 699, 291}, 0, 0},
      {kBox1, {14, 44, 454, 69}, {21, 66, 681, 104}, 16, 24},
      {"CheckAuswurfAufTatsächliche", {14, 74, 454, 99}, {21, 111, 681, 149}, 16, 24},
      {"CommandQuest", {490, 514, 555, 571}, {735, 771, 833, 857}, 0, 0},
      {"CommandOK", {560, 514, 673, 571}, {840, 771, 1010, 857}, 0, 0},
      {"CommandCancel", {678, 514, 791, 571}, {1017, 771, 1187, 857}, 0, 0},
  };
  const auto edges = [](RECT r) { return std::vector<LONG>{r.left, r.top, r.right, r.bottom}; };
  ASSERT_NE(view_.handle(), nullptr);
  for (const int dpi : {96, 144}) {
    SCOPED_TRACE(dpi);
    if (dpi != view_.dpi()) {
      RECT suggested{};
      GetWindowRect(view_.handle(), &suggested);
      SendMessageW(view_.handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
    }
    RECT client{};
    GetClientRect(view_.handle(), &client);
    EXPECT_EQ(edges(client), edges(dpi == 96 ? RECT{0, 0, 792, 573} : RECT{0, 0, 1188, 860}));
    for (const auto& [name, at96, at144, font96, font144] : rows) {
      SCOPED_TRACE(name);
      EXPECT_EQ(edges(PlaceOf(name)), edges(dpi == 96 ? at96 : at144));  // in the client area
      if (const int height = dpi == 96 ? font96 : font144; height != 0) {
        // The height the system delivers: a bitmap face keeps to a few fixed sizes.
        TEXTMETRICW delivered{};
        MemoryDc dc(CreateCompatibleDC(nullptr));
        Selection use(dc.get(),
                      reinterpret_cast<HGDIOBJ>(SendMessageW(ViewOf(name), WM_GETFONT, 0, 0)));
        GetTextMetricsW(dc.get(), &delivered);
        EXPECT_EQ(delivered.tmHeight - delivered.tmInternalLeading, height);
        EXPECT_EQ(delivered.tmWeight, FW_BOLD);
      }
    }
  }
  EXPECT_EQ(GetWindowLongW(view_.handle(), GWL_STYLE) & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
  const LONG box_style = GetWindowLongW(ViewOf(kBox1), GWL_STYLE);
  EXPECT_EQ(box_style & (BS_LEFTTEXT | BS_RIGHT), BS_LEFTTEXT | BS_RIGHT);
}

TEST_F(Win32WindowTest, ClicksAndKeysReachTheLogicAndHelpModeShows) {
  logic_.Form_Load();
  view_.Show(SW_SHOWNORMAL);
  EXPECT_TRUE(Checked(kBox1));
  EXPECT_EQ(Paint("CommandQuest").At(6, 6), RGB(192, 192, 192));

  SendMessageW(ViewOf(kBox1), BM_CLICK, 0, 0);
  EXPECT_EQ(form_[kBox1].Value(), 0);
  EXPECT_FALSE(Checked(kBox1));

  // Two quick clicks are two clicks, though a button reports the second as a double click.
  const auto quick_clicks = [this](const char* name, const std::function<int()>& state) {
    std::vector<int> seen;
    for (const UINT down : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}) {
      SendMessageW(ViewOf(name), down, MK_LBUTTON, MAKELPARAM(4, 4));
      SendMessageW(ViewOf(name), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
      seen.push_back(state());
    }
    return seen;
  };
  EXPECT_EQ(quick_clicks(kBox1, [this] { return form_[kBox1].Value(); }), (std::vector<int>{1, 0}));
  EXPECT_EQ(quick_clicks("CommandQuest", [this] { return module_.state.HelpMode ? 1 : 0; }),
            (std::vector<int>{1, 0}));

  SendMessageW(ViewOf("CommandQuest"), BM_CLICK, 0, 0);
  EXPECT_EQ(Paint("CommandQuest").At(6, 6), RGB(0, 255, 0));
  SendMessageW(ViewOf(kBox1), BM_CLICK, 0, 0);
  EXPECT_FALSE(Checked(kBox1)) << "help mode undoes the click";
  EXPECT_EQ(form_[kBox1].Value(), 0);

  // Tab walks the table's tab order.
  HWND focus = ViewOf("CheckAuswurfAufTatsächliche");
  for (const char* name :
       {kBox1, "CommandOK", "CommandCancel", "CommandQuest", "CheckAuswurfAufTatsächliche"}) {
    focus = GetNextDlgTabItem(view_.handle(), focus, FALSE);
    EXPECT_EQ(focus, ViewOf(name)) << name;
  }

  // Enter presses the focused button; there is no default button.
  SetFocus(ViewOf("CommandCancel"));
  MSG enter{ViewOf("CommandCancel"), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
  EXPECT_TRUE(view_.PreTranslateMessage(enter));
  ASSERT_EQ(dialogs_.shown.size(), 2U);
  EXPECT_EQ(dialogs_.shown[0].text, "Effizienz");
  EXPECT_EQ(dialogs_.shown[1].text, "Abbruch");
}

TEST_F(Win32WindowTest, TheCloseBoxAndTheSessionsEndAskFirst) {
  logic_.Form_Load();
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
  logic_.Form_Load();
  view_.Show(SW_SHOWNORMAL);
  // OK was clicked; the save meets a stored word out of range and the user goes on.
  form_["CommandOK"].SetEnabled(false);
  Put("parameter/Program.ini", "[Machine1]\r\nZaroMainPictureStatus=40000\r\n");
  dialogs_.answers = {MessageAnswer::kYes};
  dialogs_.on_show = [this] { ComeAndGo(view_.handle()); };
  logic_.WriteInputs();
  ASSERT_FALSE(dialogs_.shown.empty());
  EXPECT_FALSE(IsWindowEnabled(ViewOf("CommandOK")));
  ComeAndGo(nullptr);
  EXPECT_TRUE(IsWindowEnabled(ViewOf("CommandOK")));
}

TEST_F(Win32WindowTest, FramesShowTheirTooltipsAndButtonsTheirCaptions) {
  Put("Tools/Zaro_MainPictureExt_Config.ini",
      "[1031]\r\nTTT_MainFrame_=Aussen\r\nTTT_FrameFPI_=Innen\r\n");
  logic_.Form_Load();
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
  const MainWindow main_window(runtime_);
  SystemDpiApi() = system;
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  RECT client{};
  GetClientRect(main_window.view.handle(), &client);
  EXPECT_EQ((std::vector<int>{main_window.view.dpi(), client.right, client.bottom}),
            (std::vector<int>{dpi, TwipsToPixels(kClientWidthTwips, dpi),
                              TwipsToPixels(kClientHeightTwips, dpi)}));
}

// What the flags decide beyond a lookup: the default answer's button is the box's default.
TEST(Win32MessageBox, RequestBecomesTheSystemFlags) {
  for (const auto& [answer, button] : {std::pair{MessageAnswer::kYes, UINT{MB_DEFBUTTON1}},
                                       {MessageAnswer::kNo, UINT{MB_DEFBUTTON2}}}) {
    const MessageBoxRequest request{"", "", MessageIcon::kWarning, MessageButtons::kYesNo, answer};
    EXPECT_EQ(MessageBoxFlags(request) & (MB_TYPEMASK | MB_DEFMASK), UINT{MB_YESNO} | button);
  }
}

}  // namespace
