#include "ui_text/localisation.h"

#include <map>
#include <sstream>

#include "base/codepage.h"
#include "support/fakes.h"
#include "ui_text/help_mode.h"

namespace {

using Section = std::map<std::string, std::string>;
using IniFile = std::map<std::string, Section>;

// The file as sets of keys and values per section; order and layout do not matter here.
IniFile Parse(const std::string& bytes) {
  IniFile file;
  std::istringstream lines(text::Windows1252ToUtf8(bytes));
  std::string line;
  std::string section;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > 1 && line.front() == '[') {
      section = line.substr(1, line.size() - 2);
      file[section];
    } else if (const std::size_t eq = line.find('='); eq != std::string::npos) {
      file[section][line.substr(0, eq)] = line.substr(eq + 1);
    }
  }
  return file;
}

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
  IniFile Load(Form& form) {
    LoadToolTipTexts(module_, form);
    return Parse(ReadBytes(OwnIni()));
  }
  std::string Help(int number) const {
    return module_.state.HelpTexts[static_cast<std::size_t>(number - 1)];
  }

  Form form_{"Test", TestTable()};
};

TEST_F(Localisation, FirstStartWritesEveryKeyAndTheDesignedCaptions) {
  const IniFile expected{
      {"Language", {{"Language", "1031"}}},
      {"1031",
       {{"Caption_Title_", "Titel"},
        {"TTT_Title_", "0"},
        {"Caption_Opt0_", "Option A"},
        {"Help7", "0"},
        {"TTT_Opt0_", "0"},
        {"Caption_Opt1_", "Option B"},
        {"Help8", "0"},
        {"TTT_Opt1_", "0"},
        {"Caption_Go_xNotTTx", "Los"},
        {"Help3", "0"},
        {"Caption_Big_", "Groß"},
        {"TTT_Box_t", "0"}}},
  };
  EXPECT_EQ(Load(form_), expected);
  EXPECT_EQ(Help(3), "");
  EXPECT_EQ(Help(7), "");
  EXPECT_EQ(form_.At(0).Caption(), "Titel");

  // The second start finds every key: nothing changes but the help slots, which now hold "0".
  Form again{"Test", TestTable()};
  EXPECT_EQ(Load(again), expected);
  EXPECT_EQ(Help(3), "0");
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
  const IniFile file = Load(form_);
  EXPECT_EQ(form_.At(0).Caption(), "Überschrift");
  EXPECT_EQ(form_.At(0).ToolTipText(), "Tip");
  EXPECT_EQ(form_.At(5).ToolTipText(), "Frame tip");
  EXPECT_EQ(form_.At(3).ToolTipText(), "");
  EXPECT_EQ(form_.At(1).Caption(), "Option A");
  EXPECT_EQ(file.at("1031").at("Caption_Opt0_"), "Option A");  // "0" gives way to the design
  EXPECT_EQ(file.at("1031").at("Caption_Opt1_"), "Option B");
  EXPECT_EQ(file.at("1031").at("TTT_Go_xNotTTx"), "never read");
  EXPECT_EQ(Help(3), "Line one<crlf>Line two");
}

TEST_F(Localisation, AnotherLanguageWritesZeroForEveryMissingKey) {
  WriteBytes(OwnIni(), "[Language]\r\nLanguage=1033\r\n[1033]\r\nCaption_Opt0_=0\r\n");
  const IniFile file = Load(form_);
  EXPECT_EQ(file.at("Language").at("Language"), "1033");
  EXPECT_EQ(file.count("1031"), 0U);
  for (const auto& [key, value] : file.at("1033")) EXPECT_EQ(value, "0") << key;
  EXPECT_EQ(file.at("1033").size(), 12U);
  for (int i = 0; i < form_.Count(); ++i) {
    EXPECT_EQ(form_.At(i).Caption(), TestTable()[static_cast<std::size_t>(i)].caption);
    EXPECT_EQ(form_.At(i).ToolTipText(), "");
  }
}

TEST(HelpText, MarkersInAnyCaseBecomeLineBreaks) {
  EXPECT_EQ(ExpandLineMarkers("one<cRlF><CRLF>two"), "one\r\n\r\ntwo");
  EXPECT_EQ(ExpandLineMarkers("Größe<crlf>"), "Größe\r\n");
  EXPECT_EQ(ExpandLineMarkers("<CRLF"), "<CRLF");
}

}  // namespace
