// Tests of the window's texts in the user's language.
// SPDX-License-Identifier: MIT
#include "ui_text/localisation.h"

#include <string>
#include <tuple>

#include "base/codepage.h"
#include "settings/ini_file_text.h"
#include "support/fakes.h"
#include "ui_text/help_mode.h"

namespace {

// A form with what the real window lacks: a control array, tags, a help number out of range.
const std::vector<ControlDesign>& TestTable() {
  using enum ControlKind;
  static const std::vector<ControlDesign> table{
      {.name = "Title", .kind = kLabel, .caption = "Titel"},
      {.name = "Opt", .kind = kCheckBox, .caption = "Option A", .help_id = 7, .index = 0},
      {.name = "Opt", .kind = kCheckBox, .caption = "Option B", .help_id = 8, .index = 1},
      {.name = "Go", .kind = kCommandButton, .caption = "Los", .help_id = 3, .tag = "xNotTTx"},
      {.name = "Big", .kind = kCheckBox, .caption = "Groß", .help_id = 101},
      {.name = "Box", .kind = kFrame, .tag = "t"},
  };
  return table;
}

class Localisation : public ModuleTest {
 protected:
  std::string OwnIni() const { return dir_ / "plant/Tools/Zaro_MainPictureExt_Config.ini"; }
  std::string Load(Form& form) {
    LoadToolTipTexts(module_, form);
    const std::string bytes = ReadBytes(OwnIni());  // made UTF-16 LE on Windows
    return bytes.starts_with("\xFF\xFE") ? *ini::FileText(bytes) : text::Windows1252ToUtf8(bytes);
  }
  std::string Help(int number) const {
    return module_.state.HelpTexts[static_cast<std::size_t>(number - 1)];
  }

  Form form_{"Test", TestTable()};
};

TEST_F(Localisation, FirstStartWritesEveryKeyAndTheDesignedCaptions) {
  const std::string expected =
      "[Language]\r\nLanguage=1031\r\n[1031]\r\nCaption_Title_=Titel\r\nTTT_Title_=0\r\n"
      "Caption_Opt0_=Option A\r\nHelp7=0\r\nTTT_Opt0_=0\r\nCaption_Opt1_=Option B\r\nHelp8=0\r\n"
      "TTT_Opt1_=0\r\nCaption_Go_xNotTTx=Los\r\nHelp3=0\r\nCaption_Big_=Groß\r\nTTT_Box_t=0\r\n";
  EXPECT_EQ(Load(form_), expected);
  EXPECT_EQ(Help(3), "");

  // The second start finds every key: nothing changes but the help slots, which now hold "0".
  Form again{"Test", TestTable()};
  EXPECT_EQ(Load(again), expected);
  EXPECT_EQ(Help(8), "0");
  module_.state.HelpMode = true;
  ShowHelpInfo(module_, again.At(3));
  ASSERT_EQ(dialogs_.shown.size(), 1U);
  EXPECT_EQ(dialogs_.shown[0].text, "0");
}

TEST_F(Localisation, StoredTextsApplyAndEmptyOrZeroKeepTheDesign) {
  WriteBytes(OwnIni(), text::Utf8ToWindows1252(
                           "[Language]\r\nLanguage=1031\r\n[1031]\r\nCaption_Title_=Überschrift\r\n"
                           "TTT_Title_=Tip\r\nCaption_Opt0_=0\r\nCaption_Opt1_=\r\n"
                           "TTT_Box_t=Frame tip\r\nTTT_Go_xNotTTx=never read\r\n"
                           "Help3=Line one<crlf>Line two\r\n"));
  const std::string file = Load(form_);
  EXPECT_EQ(std::tuple(form_.At(0).Caption(), form_.At(0).ToolTipText(), form_.At(5).ToolTipText(),
                       form_.At(3).ToolTipText(), form_.At(1).Caption()),
            std::tuple("Überschrift", "Tip", "Frame tip", "", "Option A"));
  // "0" and "" give way to the design; a tooltip never read stays.
  EXPECT_NE(file.find("Caption_Opt0_=Option A\r\nCaption_Opt1_=Option B\r\n"), std::string::npos);
  EXPECT_NE(file.find("TTT_Go_xNotTTx=never read\r\n"), std::string::npos);
  EXPECT_EQ(Help(3), "Line one<crlf>Line two");
}

// From a copy of the program renamed in lower case, which must take the file that is there.
TEST_F(Localisation, AnotherLanguageWritesZeroForEveryMissingKey) {
  WriteBytes(OwnIni(), "[Language]\r\nLanguage=1033\r\n[1033]\r\nCaption_Opt0_=0\r\n");
  runtime_.program_name = "zaro_mainpictureext_config";
  EXPECT_EQ(
      Load(form_),
      "[Language]\r\nLanguage=1033\r\n[1033]\r\nCaption_Opt0_=0\r\nCaption_Title_=0\r\n"
      "TTT_Title_=0\r\nHelp7=0\r\nTTT_Opt0_=0\r\nCaption_Opt1_=0\r\nHelp8=0\r\nTTT_Opt1_=0\r\n"
      "Caption_Go_xNotTTx=0\r\nHelp3=0\r\nCaption_Big_=0\r\nTTT_Box_t=0\r\n");
  for (int i = 0; i < form_.Count(); ++i) {
    EXPECT_EQ(form_.At(i).Caption(), TestTable()[static_cast<std::size_t>(i)].caption);
    EXPECT_EQ(form_.At(i).ToolTipText(), "");
  }
}

// As a Linux editor saves the file: UTF-8 without a mark, an umlaut in two keys.
TEST_F(Localisation, AFileSavedAsUtf8WithoutMarkFindsItsUmlautKeys) {
  if (OnWindows()) GTEST_SKIP() << "the profile functions read such a file as the code page";
  static const std::vector<ControlDesign> table{
      {.name = "Tatsächliche", .kind = ControlKind::kCheckBox, .caption = "Tatsächliche"}};
  const std::string file =
      "[Language]\nLanguage=1033\n[1033]\nCaption_Tatsächliche_=Actual\nTTT_Tatsächliche_=Tip\n";
  WriteBytes(OwnIni(), file);
  Form form{"Test", table};
  LoadToolTipTexts(module_, form);
  EXPECT_EQ(std::tuple(form.At(0).Caption(), form.At(0).ToolTipText()),
            std::tuple("Actual", "Tip"));
  EXPECT_EQ(ReadBytes(OwnIni()), file);
}

}  // namespace
