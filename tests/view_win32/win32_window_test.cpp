// Tests of the Win32 window.
// SPDX-License-Identifier: MIT
#include "view_win32/win32_window.h"

#include <oleacc.h>

#include <algorithm>
#include <functional>
#include <string_view>
#include <tuple>
#include <utility>

#include "app/control_names.h"
#include "app/window_table.h"
#include "support/fakes.h"
#include "view_win32/dpi.h"
#include "view_win32/gdi_handles.h"
#include "view_win32/start_up.h"
#include "view_win32/win32_dialogs.h"

namespace {

// What a screen reader reads of a window: its name, through the system's accessibility interface.
std::wstring AccessibleName(HWND window) {
  IAccessible* accessible = nullptr;
  const HRESULT found = AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                                                   reinterpret_cast<void**>(&accessible));
  if (found != S_OK) return L"(no accessible object: " + std::to_wstring(found) + L")";
  VARIANT self{};
  self.vt = VT_I4;  // lVal 0: CHILDID_SELF
  BSTR name = nullptr;
  accessible->get_accName(self, &name);
  std::wstring read = name != nullptr ? std::wstring(name, SysStringLen(name)) : L"";
  SysFreeString(name);
  accessible->Release();
  return read;
}

class Win32WindowTest : public ModuleTest {
 protected:
  Win32WindowTest() { PutWindowPlant("[1031]\r\nHelp2=Abbruch\r\nHelp11=Effizienz\r\n"); }

  HWND ViewOf(const std::string& name) const { return view_.ControlView(name); }

  RECT PlaceOf(const std::string& name) const {
    RECT place{};
    GetWindowRect(ViewOf(name), &place);
    MapWindowPoints(nullptr, view_.handle(), reinterpret_cast<POINT*>(&place), 2);
    return place;
  }

  // The top left 120 x 60 pixels, row by row, as `paint` paints them.
  static std::vector<COLORREF> Picture(const std::function<void(HDC)>& paint) {
    HDC screen = GetDC(nullptr);
    MemoryDc dc(CreateCompatibleDC(screen));
    GdiObject bitmap(CreateCompatibleBitmap(screen, 120, 60));
    ReleaseDC(nullptr, screen);
    Selection use(dc.get(), bitmap.get());
    paint(dc.get());
    std::vector<COLORREF> pixels;
    pixels.reserve(std::size_t{120} * 60);
    for (int at = 0; at < 120 * 60; ++at) pixels.push_back(GetPixel(dc.get(), at % 120, at / 120));
    return pixels;
  }
  static std::vector<COLORREF> Picture(HWND window, UINT message = WM_PRINTCLIENT) {
    return Picture(
        [=](HDC dc) { SendMessageW(window, message, reinterpret_cast<WPARAM>(dc), PRF_CLIENT); });
  }
  COLORREF PaintedAt(const std::string& name, int x, int y) const {
    return Picture(ViewOf(name))[static_cast<std::size_t>(y) * 120 + static_cast<std::size_t>(x)];
  }

  // A window comes up over the view, takes the activation and goes again.
  static void ComeAndGo(HWND owner) {
    HWND box = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 40, 40, owner, nullptr, nullptr,
                               nullptr);
    SetActiveWindow(box);
    DestroyWindow(box);
  }

  void Open() {
    logic_.Form_Load();
    view_.Show(SW_SHOWNORMAL);
  }

  bool high_contrast_ = false;
  Form form_ = MakeMainForm();
  ConfigWindow logic_{module_, form_};
  // On a monitor that holds the window at any DPI.
  static DpiApi RoomyMonitor() {
    DpiApi api = SystemDpiApi();
    api.work_area_near = [](const RECT&) { return RECT{-4096, -4096, 4096, 4096}; };
    return api;
  }
  Win32Window view_{module_, form_, logic_, [this] { return high_contrast_; }, RoomyMonitor()};
};

TEST_F(Win32WindowTest, ControlsKeepTheTablesPlacesAt96And144Dpi) {
  const std::tuple<const char*, RECT, RECT, int, int> rows[] = {
      {kHeader, {2, 2, 787, 26}, {3, 3, 1181, 39}, 18, 27},
      {kMainFrame, {0, 26, 792, 510}, {0, 39, 1188, 765}, 0, 0},
      {kFrameFPI, {6, 34, 466, 194}, {9, 51, 699, 291}, 0, 0},
      {kCheckEffizienz, {14, 44, 454, 69}, {21, 66, 681, 104}, 16, 24},
      {kCheckAuswurfAufTatsaechliche, {14, 74, 454, 99}, {21, 111, 681, 149}, 16, 24},
      {kCommandQuest, {490, 514, 555, 571}, {735, 771, 833, 857}, 0, 0},
      {kCommandOK, {560, 514, 673, 571}, {840, 771, 1010, 857}, 0, 0},
      {kCommandCancel, {678, 514, 791, 571}, {1017, 771, 1187, 857}, 0, 0},
  };
  const auto edges = [](RECT r) { return std::vector<LONG>{r.left, r.top, r.right, r.bottom}; };
  RECT client{};
  GetClientRect(view_.handle(), &client);
  EXPECT_EQ(edges(client), edges(RECT{0, 0, 792, 573}));  // made at the test display's 96 DPI
  // Moved to a monitor of 144 DPI and back, it takes the system's rectangle as it comes.
  for (const auto& [dpi, suggested] :
       {std::pair{144, RECT{300, 40, 1500, 930}}, {96, RECT{20, 30, 830, 640}}}) {
    SCOPED_TRACE(dpi);
    SendMessageW(view_.handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT window{};
    GetWindowRect(view_.handle(), &window);
    EXPECT_EQ(edges(window), edges(suggested));
    for (const auto& [name, at96, at144, font96, font144] : rows) {
      SCOPED_TRACE(name);
      EXPECT_EQ(edges(PlaceOf(name)), edges(dpi == 96 ? at96 : at144));  // in the client area
      if (const int height = dpi == 96 ? font96 : font144; height != 0) {
        // The height the system delivers: a bitmap face keeps to a few fixed sizes, while a
        // face substituted for the asked one may round one pixel the other way.
        TEXTMETRICW delivered{};
        MemoryDc dc(CreateCompatibleDC(nullptr));
        Selection use(dc.get(),
                      reinterpret_cast<HGDIOBJ>(SendMessageW(ViewOf(name), WM_GETFONT, 0, 0)));
        GetTextMetricsW(dc.get(), &delivered);
        EXPECT_NEAR(delivered.tmHeight - delivered.tmInternalLeading, height, 1);
        EXPECT_EQ(delivered.tmWeight, FW_BOLD);
      }
    }
  }
  EXPECT_EQ(GetWindowLongW(view_.handle(), GWL_STYLE) & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
  const LONG box_style = GetWindowLongW(ViewOf(kCheckEffizienz), GWL_STYLE);
  EXPECT_EQ(box_style & (BS_LEFTTEXT | BS_RIGHT), BS_LEFTTEXT | BS_RIGHT);
}

TEST_F(Win32WindowTest, ClicksAndKeysReachTheLogicAndHelpModeShows) {
  Open();
  // Two quick clicks are two clicks, though a button reports the second as a double click.
  std::vector<std::pair<int, bool>> seen;  // the box's value, help mode
  for (const char* name : {kCheckEffizienz, kCommandQuest}) {
    for (const UINT down : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}) {
      SendMessageW(ViewOf(name), down, MK_LBUTTON, MAKELPARAM(4, 4));
      SendMessageW(ViewOf(name), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
      seen.emplace_back(form_[kCheckEffizienz].Value(), module_.state.HelpMode);
    }
  }
  EXPECT_EQ(seen,
            (std::vector<std::pair<int, bool>>{{0, false}, {1, false}, {1, true}, {1, false}}));

  SendMessageW(ViewOf(kCommandQuest), BM_CLICK, 0, 0);
  SendMessageW(ViewOf(kCheckEffizienz), BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageW(ViewOf(kCheckEffizienz), BM_GETCHECK, 0, 0), BST_CHECKED)
      << "help mode undoes it";

  // Enter presses the focused button; there is no default button.
  SetFocus(ViewOf(kCommandCancel));
  MSG enter{ViewOf(kCommandCancel), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
  EXPECT_TRUE(view_.PreTranslateMessage(enter));
  ASSERT_EQ(dialogs_.shown.size(), 2U);  // the box's help, then the pressed button's
  EXPECT_EQ(dialogs_.shown[1].text, "Abbruch");
}

// As a keyboard user and a screen reader meet the window: Tab goes by the table's tab indices,
// each button shows the focus, every control has a name that follows the loaded texts.
TEST_F(Win32WindowTest, TabShowsTheFocusOnEachButtonAndEveryControlIsNamed) {
  Put("Tools/Zaro_MainPictureExt_Config.ini",
      "[Language]\r\nLanguage=1033\r\n[1033]\r\nTTT_CommandOK_=Save & close\r\n");
  EXPECT_EQ(AccessibleName(ViewOf(kCommandCancel)), L"Abbrechen");  // until the texts load
  Open();
  SetFocus(ViewOf(kCheckEffizienz));
  for (auto [name, spoken] :
       {std::pair{kCommandOK, L"Save & close"},
        {kCommandCancel, L"Cancel"},
        {kCommandQuest, L"Help"},
        {kCheckAuswurfAufTatsaechliche, L"Auswurfberechnung mit tats\u00E4chlicher Produktion"},
        {kCheckEffizienz, L"mit Effizienz"}}) {
    const std::vector<COLORREF> unfocused = Picture(ViewOf(name));
    MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_TRUE(IsDialogMessageW(view_.handle(), &tab));
    ASSERT_EQ(GetFocus(), ViewOf(name)) << name;
    EXPECT_EQ(AccessibleName(ViewOf(name)), spoken);
    const bool button = std::string_view(name).starts_with("Command");
    EXPECT_TRUE(!button || Picture(ViewOf(name)) != unfocused) << name << " shows no focus";
  }
  // While the system hides keyboard cues the mark stays away.
  const auto drawn = [this](UINT state) {
    return Picture([&](HDC dc) {
      DRAWITEMSTRUCT draw{ODT_BUTTON,      0, 0, ODA_DRAWENTIRE, state, ViewOf(kCommandOK), dc,
                          {0, 0, 113, 57}, 0};
      SendMessageW(view_.handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    });
  };
  EXPECT_EQ(drawn(ODS_FOCUS | ODS_NOFOCUSRECT), drawn(0));
  EXPECT_NE(drawn(ODS_FOCUS), drawn(0));
}

// High contrast follows the setting while the window is open; without it the design stays.
TEST_F(Win32WindowTest, HighContrastPaintsInTheSystemColours) {
  Open();
  const auto coloured = [](const std::vector<COLORREF>& pixels) {
    return std::any_of(pixels.begin(), pixels.end(), [](COLORREF c) {
      return GetRValue(c) != GetGValue(c) || GetGValue(c) != GetBValue(c);
    });
  };
  // The broadcast of any other setting repaints nothing: it would flicker.
  RedrawWindow(view_.handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  SendMessageW(view_.handle(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  EXPECT_FALSE(GetUpdateRect(view_.handle(), nullptr, FALSE));
  for (const bool on : {true, false}) {
    SCOPED_TRACE(on ? "high contrast" : "designed");
    high_contrast_ = on;
    SendMessageW(view_.handle(), on ? WM_SETTINGCHANGE : WM_SYSCOLORCHANGE, 0, 0);
    const COLORREF face = on ? GetSysColor(COLOR_BTNFACE) : RGB(192, 192, 192);
    EXPECT_EQ(Picture(view_.handle(), WM_ERASEBKGND)[0], face);
    for (const char* name : {kHeader, kCheckEffizienz, kCommandOK})
      EXPECT_EQ(PaintedAt(name, 3, 3), face) << name;
    EXPECT_EQ(coloured(Picture(ViewOf(kCommandOK))), !on) << "the check mark in the text colour";
    logic_.CommandQuest_Click();
    EXPECT_EQ(PaintedAt(kCommandQuest, 6, 6), on ? GetSysColor(COLOR_HIGHLIGHT) : RGB(0, 255, 0));
    logic_.CommandQuest_Click();
  }
}

// One question at a time: a close request while it is open asks nothing (a log-off hears "not
// now"), and a Yes ends the program also when another program then keeps the session going.
TEST_F(Win32WindowTest, CloseRequestsAskOneQuestionAtATimeAndAYesEnds) {
  Open();
  const auto end_session = [this] {
    return SendMessageW(view_.handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  };
  int boxes = 0;
  LRESULT ended_while_asking = -1;
  dialogs_.on_show = [&] {
    if (boxes++ > 0) return;
    SendMessageW(view_.handle(), WM_CLOSE, 0, 0);
    ended_while_asking = end_session();
  };
  dialogs_.answers = {MessageAnswer::kNo, MessageAnswer::kNo, MessageAnswer::kYes};
  SendMessageW(view_.handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(std::pair(boxes, ended_while_asking), std::pair(1, LRESULT{FALSE}));
  EXPECT_EQ(end_session(), FALSE);
  EXPECT_EQ(end_session(), TRUE);
  SendMessageW(view_.handle(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
  MSG message;
  while (PeekMessageW(&message, view_.handle(), 0, 0, PM_REMOVE) != 0) DispatchMessageW(&message);
  EXPECT_FALSE(IsWindow(view_.handle()));
  EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// A fault at start-up comes before the window shows: its box has no hidden owner, so it keeps a
// taskbar button of its own, and comes to the front task-modal over the configurator that started
// the program. Once the window shows, the window owns the boxes.
TEST_F(Win32WindowTest, ABoxHasNoOwnerUntilTheWindowShows) {
  static std::vector<std::pair<HWND, UINT>> shown;  // each box's owner and modality
  shown.clear();
  Win32Dialogs boxes;
  boxes.owner = view_.handle();
  boxes.show_box = [](HWND owner, LPCWSTR, LPCWSTR, UINT flags) {
    shown.emplace_back(owner, flags & (MB_TASKMODAL | MB_SETFOREGROUND | MB_SYSTEMMODAL));
    return IDOK;
  };
  boxes.ShowMessage({"File not found", "Error"});
  Open();
  boxes.ShowMessage({"File not found", "Error"});
  EXPECT_EQ(shown, (std::vector<std::pair<HWND, UINT>>{{nullptr, MB_TASKMODAL | MB_SETFOREGROUND},
                                                       {view_.handle(), 0}}));
}

TEST_F(Win32WindowTest, OnlyTheWindowsOwnActivationEnablesOK) {
  Open();
  // OK was clicked; the save meets a stored word out of range and the user goes on.
  form_[kCommandOK].SetEnabled(false);
  Put("parameter/Program.ini", "[Machine1]\r\nZaroMainPictureStatus=40000\r\n");
  dialogs_.answers = {MessageAnswer::kYes};
  dialogs_.on_show = [this] { ComeAndGo(view_.handle()); };
  logic_.WriteInputs();
  ASSERT_FALSE(dialogs_.shown.empty());
  EXPECT_FALSE(IsWindowEnabled(ViewOf(kCommandOK)));
  ComeAndGo(nullptr);
  EXPECT_TRUE(IsWindowEnabled(ViewOf(kCommandOK)));
}

TEST_F(Win32WindowTest, FramesShowTheirTooltipsAndButtonsTheirCaptions) {
  Put("Tools/Zaro_MainPictureExt_Config.ini",
      "[1031]\r\nTTT_MainFrame_=Aussen\r\nTTT_FrameFPI_=Innen\r\n");
  logic_.Form_Load();
  // The caption in the text colour, beside the picture (a red cross).
  const auto text_pixels = [this] {
    const std::vector<COLORREF> painting = Picture(ViewOf(kCommandCancel));
    return std::count(painting.begin(), painting.end(), GetSysColor(COLOR_BTNTEXT));
  };
  const auto without_caption = text_pixels();
  form_[kCommandCancel].SetCaption("Abbrechen");
  EXPECT_GT(text_pixels(), without_caption + 20);

  // The mouse over a frame is over the window: the inner frame's place wins over the outer's.
  for (const auto& [frame, tip] : {std::pair{kFrameFPI, L"Innen"}, {kMainFrame, L"Aussen"}}) {
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
  Form form = MakeMainForm();
  ConfigWindow logic{module_, form};
  const Win32Window view(module_, form, logic, SystemHighContrast, DpiApi{});
  const int dpi = GetDeviceCaps(MemoryDc(CreateCompatibleDC(nullptr)).get(), LOGPIXELSX);
  RECT client{};
  GetClientRect(view.handle(), &client);
  EXPECT_EQ((std::vector<int>{view.dpi(), client.right, client.bottom}),
            (std::vector<int>{dpi, TwipsToPixels(kClientWidthTwips, dpi),
                              TwipsToPixels(kClientHeightTwips, dpi)}));
}

// Where the designed size at the monitor's DPI does not fit the monitor's work area, the whole
// form is drawn at the largest DPI that fits, inside that work area: 800 x 600 with a 40-pixel
// taskbar, 1366 x 768 at 125 %, and the same on a second monitor left of the first.
TEST_F(Win32WindowTest, TheWindowOpensInsideTheWorkAreaAtTheLargestScaleThatFits) {
  static std::pair<UINT, RECT> monitor;  // its DPI and work area
  const DpiApi api{[](HWND) { return monitor.first; }, nullptr,
                   [](const RECT&) { return monitor.second; }};
  for (const auto& [dpi, work] : {std::pair{96U, RECT{0, 0, 800, 560}},
                                  {120U, RECT{0, 0, 1366, 718}},
                                  {120U, RECT{-1366, 0, 0, 718}},
                                  {96U, RECT{0, 0, 1920, 1040}}}) {
    monitor = {dpi, work};
    Form form = MakeMainForm();
    ConfigWindow logic{module_, form};
    const Win32Window view(module_, form, logic, SystemHighContrast, api);
    RECT window{};
    GetWindowRect(view.handle(), &window);  // the controls keep to the client area at any DPI
    EXPECT_TRUE(window.left >= work.left && window.top >= work.top && window.right <= work.right &&
                window.bottom <= work.bottom);
    // One DPI more would not fit: each row's height is the limit.
    const int more = TwipsToPixels(kClientHeightTwips, view.dpi() + 1) -
                     TwipsToPixels(kClientHeightTwips, view.dpi());
    EXPECT_TRUE(view.dpi() == static_cast<int>(dpi) ||
                window.bottom - window.top + more > work.bottom - work.top);
    EXPECT_EQ(view.dpi() < static_cast<int>(dpi), work.bottom < 1000) << view.dpi();
  }
}

// What the flags decide beyond a lookup: the default answer's button is the box's default.
TEST(Win32MessageBox, RequestBecomesTheSystemFlags) {
  for (const auto& [answer, button] : {std::pair{MessageAnswer::kYes, UINT{MB_DEFBUTTON1}},
                                       {MessageAnswer::kNo, UINT{MB_DEFBUTTON2}}}) {
    const MessageBoxRequest request{"", "", MessageIcon::kWarning, MessageButtons::kYesNo, answer};
    EXPECT_EQ(MessageBoxFlags(request) & (MB_TYPEMASK | MB_DEFMASK), UINT{MB_YESNO} | button);
  }
}

// Each run mode keeps the system's boxes away, a silent run also the crash box; afterwards a DLL
// beside the program is not what its bare name loads.
TEST(Win32StartUp, KeepsTheSystemsBoxesAwayAndLoadsNoDllFromTheProgramsFolder) {
  const UINT no_boxes = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
  for (const auto& [arguments, mode] : {std::pair{"", no_boxes},
                                        {"/EXTERNAL=Q7XCFG", no_boxes},
                                        {"/external=silent", no_boxes | SEM_NOGPFAULTERRORBOX}}) {
    FakeRuntime runtime;
    runtime.style = PathStyle::kWindows;
    runtime.argument_text = arguments;
    EXPECT_EQ(StartUp(runtime), (mode & SEM_NOGPFAULTERRORBOX) != 0) << arguments;
    EXPECT_EQ(GetErrorMode(), mode) << arguments;
  }
  wchar_t path[MAX_PATH] = {};
  const std::wstring program(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  EXPECT_EQ(LoadLibraryW(L"planted.dll"), nullptr);
  EXPECT_NE(LoadLibraryW((program.substr(0, program.rfind(L'\\') + 1) + L"planted.dll").c_str()),
            nullptr)
      << "the planted DLL is there";
}

}  // namespace
