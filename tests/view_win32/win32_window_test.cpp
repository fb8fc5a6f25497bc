#include "view_win32/win32_window.h"

#include "app/window_table.h"
#include "support/fakes.h"
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

  // The colour a control shows at (x, y), painted as the window would paint it.
  COLORREF PaintedAt(const std::string& name, int x, int y) const {
    HDC screen = GetDC(nullptr);
    MemoryDc dc(CreateCompatibleDC(screen));
    GdiObject bitmap(CreateCompatibleBitmap(screen, 200, 200));
    ReleaseDC(nullptr, screen);
    Selection use(dc.get(), bitmap.get());
    SendMessageW(Window(name), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    return GetPixel(dc.get(), x, y);
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
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(Window(design.name), WM_GETFONT, 0, 0)),
                   sizeof font, &font);
        EXPECT_EQ(font.lfHeight, -static_cast<int>(design.font.points * dpi / 72 + 0.5));
        EXPECT_EQ(font.lfWeight, FW_BOLD);
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
  EXPECT_EQ(PaintedAt("CommandQuest", 6, 6), RGB(192, 192, 192));

  SendMessageW(Window(kBox1), BM_CLICK, 0, 0);
  EXPECT_EQ(form_[kBox1].Value(), 0);
  EXPECT_FALSE(Checked(kBox1));

  SendMessageW(Window("CommandQuest"), BM_CLICK, 0, 0);
  EXPECT_EQ(PaintedAt("CommandQuest", 6, 6), RGB(0, 255, 0));
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

TEST_F(Win32WindowTest, TheCloseBoxAsksFirst) {
  window_.Form_Load();
  view_.Show(SW_SHOWNORMAL);
  dialogs_.answers = {MessageAnswer::kNo};
  SendMessageW(view_.handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(view_.handle()));
  ASSERT_EQ(dialogs_.shown.size(), 1U);
  EXPECT_EQ(dialogs_.shown[0].title, "Cancel?");
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
