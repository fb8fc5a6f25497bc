#include "app/config_window.h"

#include <filesystem>

#include "app/window_table.h"
#include "base/codepage.h"
#include "errors/error_handler.h"
#include "settings/ini_backend.h"
#include "support/fakes.h"

namespace {

constexpr const char* kCfg = "Zaro_MainPictureExt/Zaro_MainPictureExt.cfg";
constexpr const char* kBox1 = "CheckEffizienz";
constexpr const char* kBox2 = "CheckAuswurfAufTatsächliche";

class Window : public ModuleTest {
 protected:
  Window() {
    program_ini_ = Put("parameter/Program.ini",
                       "; plant program settings\r\n[Project]\r\nNumberOfMachines=1\r\n"
                       "[Machine1]\r\nMachineName=Line 1\r\nZaroMainPictureStatus=5\r\n"
                       "Speed=120\r\n");
    cfg_ = Put(kCfg, "[Project]\r\nValidMachines=1\r\n[Info]\r\nS_Prog=old\r\nNote=kept\r\n");
  }

  std::string Stored(const std::string& file, const std::string& section,
                     const std::string& entry) {
    return ini::ReadProfileString(file, section, entry);
  }
  std::string StatusWord() { return Stored(program_ini_, "Machine1", "ZaroMainPictureStatus"); }

  // Runs `handler` and returns the exit status it ended the program with, -1 if it returned.
  template <typename Fn>
  int ExitOf(Fn&& handler) {
    try {
      handler();
    } catch (const ProgramEnded& ended) {
      return ended.status;
    }
    return -1;
  }

  int Save() {
    return ExitOf([&] { window_.CommandOK_Click(); });
  }

  std::string program_ini_;
  std::string cfg_;
  Form form_ = MakeMainForm();
  ConfigWindow window_{module_, form_};
};

TEST_F(Window, StandaloneLoadShowsTheStoredBitsAndEnablesTheButtons) {
  EXPECT_FALSE(form_["CommandOK"].Enabled());
  window_.Form_Load();
  EXPECT_EQ(form_.Caption(), "Erweiterte Konfiguration Tools - standalone");
  EXPECT_EQ(form_[kBox1].Value(), 1);
  EXPECT_EQ(form_[kBox2].Value(), 0);
  EXPECT_TRUE(form_["CommandOK"].Enabled());
  EXPECT_TRUE(form_["CommandCancel"].Enabled());
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(Window, OkWritesBothBitsKeepsTheOthersAndStampsTheEdit) {
  struct Case {
    std::string stored;  // "" for no entry at all
    int shown1, shown2, set1, set2;
    std::string written;
  };
  const Case cases[] = {
      {"5", 1, 0, 1, 1, "7"},  {"5", 1, 0, 0, 0, "4"},  {"", 0, 0, 0, 1, "2"},
      {"-1", 0, 0, 1, 1, "3"}, {"-1", 0, 0, 0, 0, "0"}, {"5", 1, 0, 1, 0, "5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("stored " + c.stored);
    Put("parameter/Program.ini",
        "[Machine1]\r\nMachineName=Line 1\r\n" +
            (c.stored.empty() ? "" : "ZaroMainPictureStatus=" + c.stored + "\r\n") +
            "Speed=120\r\n");
    Form form = MakeMainForm();
    ConfigWindow window(module_, form);
    window.Form_Load();
    EXPECT_EQ(form[kBox1].Value(), c.shown1);
    EXPECT_EQ(form[kBox2].Value(), c.shown2);
    form[kBox1].SetValue(c.set1);
    form[kBox2].SetValue(c.set2);
    EXPECT_EQ(ExitOf([&] { window.CommandOK_Click(); }), 0);
    EXPECT_EQ(StatusWord(), c.written);
    EXPECT_EQ(Stored(program_ini_, "Machine1", "Speed"), "120");
    EXPECT_FALSE(form["CommandOK"].Enabled());
    EXPECT_FALSE(form["CommandCancel"].Enabled());
  }
  EXPECT_EQ(ReadBytes(cfg_),
            "[Project]\r\nValidMachines=1\r\n[Info]\r\nS_Prog=1.0.3 - Standalone\r\nNote=kept\r\n"
            "S_Editor=666768\r\n");
  EXPECT_FALSE(std::filesystem::exists(CfgLog()));
}

TEST_F(Window, IntegratedOpensFromTheConfiguratorCopyAndSavesLocally) {
  const std::string save_and_restore = dir_ / "configurator";
  const std::string copy = dir_ / "configurator/parameter/program.ini";
  WriteBytes(copy, "[Machine1]\r\nZaroMainPictureStatus=2\r\n");
  Put("parameter/q7xconfiguration.ini", "[Common]\r\nSaveAndRestore=" + save_and_restore + "\r\n");
  Put("parameter/Program.ini", "[Machine1]\r\nZaroMainPictureStatus=4\r\n");
  runtime_.argument_text = "/EXTERNAL=Q7XCFG /LOGFILE=" + (dir_ / "q7x.log");

  window_.Form_Load();
  EXPECT_EQ(form_.Caption(), "Erweiterte Konfiguration Tools - integriert");
  EXPECT_EQ(form_[kBox1].Value(), 0);
  EXPECT_EQ(form_[kBox2].Value(), 1);
  EXPECT_EQ(Save(), 0);
  EXPECT_EQ(StatusWord(), "6");
  EXPECT_EQ(ReadBytes(copy), "[Machine1]\r\nZaroMainPictureStatus=2\r\n");
  EXPECT_EQ(Stored(cfg_, "Info", "S_Prog"), "1.0.3 - Integrated");
}

TEST_F(Window, SilentLoadSavesUnchangedStampsStandaloneAndEndsWithoutABox) {
  runtime_.argument_text = "/EXTERNAL=SILENT";
  const std::string before = ReadBytes(program_ini_);
  EXPECT_EQ(ExitOf([&] { window_.Form_Load(); }), 0);
  EXPECT_EQ(ReadBytes(program_ini_), before);
  EXPECT_EQ(Stored(cfg_, "Info", "S_Prog"), "1.0.3 - Standalone");
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(Window, CancelAndCloseAskFirstAndLogOnlyAYes) {
  window_.Form_Load();
  const std::string before = ReadBytes(program_ini_);
  form_[kBox2].SetValue(1);

  dialogs_.answers = {MessageAnswer::kNo};
  EXPECT_EQ(ExitOf([&] { window_.CommandCancel_Click(); }), -1);
  ASSERT_EQ(dialogs_.shown.size(), 1U);
  const MessageBoxRequest& asked = dialogs_.shown[0];
  EXPECT_EQ(asked.text, "Cancel edits?\n\rRemark:\n\rUntil now no changes have been taken over ");
  EXPECT_EQ(asked.title, "Cancel?");
  EXPECT_EQ(asked.icon, MessageIcon::kWarning);
  EXPECT_EQ(asked.buttons, MessageButtons::kYesNo);
  EXPECT_EQ(asked.default_answer, MessageAnswer::kNo);
  EXPECT_EQ(form_[kBox2].Value(), 1);

  std::int16_t cancel = 0;
  dialogs_.answers = {MessageAnswer::kNo};
  window_.Form_QueryUnload(cancel, 0);
  EXPECT_EQ(cancel, kVbTrue);
  EXPECT_FALSE(std::filesystem::exists(CfgLog()));

  cancel = 0;
  dialogs_.answers = {MessageAnswer::kYes};
  window_.Form_QueryUnload(cancel, 0);
  EXPECT_EQ(cancel, 0);

  dialogs_.answers = {MessageAnswer::kYes};
  EXPECT_EQ(ExitOf([&] { window_.CommandCancel_Click(); }), 0);
  const std::string line = "Konfigurations-EXE wurde abgebrochen:     Zaro_MainPictureExt\r\n";
  EXPECT_EQ(ReadBytes(CfgLog()), line + line);
  EXPECT_EQ(ReadBytes(program_ini_), before);
  EXPECT_EQ(Stored(cfg_, "Info", "S_Prog"), "old");
}

TEST_F(Window, IntegratedConfirmationNamesTheModuleAndTheProgramFile) {
  runtime_.argument_text = "/EXTERNAL=Q7XCFG";
  window_.Form_Load();
  std::int16_t cancel = 0;
  dialogs_.answers = {MessageAnswer::kNo};
  window_.Form_QueryUnload(cancel, 0);
  ASSERT_EQ(dialogs_.shown.size(), 1U);
  EXPECT_EQ(dialogs_.shown[0].text,
            "Cancel edits?\n\rRemark:\n\rUntil now no changes have been taken over \n\r"
            "\"Zaro_MainPictureExt\" has to be configured again in \"standalone-mode\" via \n\r\"" +
                runtime_.ProgramFilePath() + "\"");
}

TEST_F(Window, HelpModeShowsHelpInsteadOfActing) {
  Put("Tools/Zaro_MainPictureExt_Config.ini",
      "[1031]\r\nHelp1=Saves<CRLF>and ends\r\nHelp2=Ends\r\nHelp11=Efficiency\r\n");
  window_.Form_Load();
  const std::string before = ReadBytes(program_ini_);
  window_.CommandQuest_Click();
  EXPECT_TRUE(module_.state.HelpMode);
  EXPECT_EQ(form_["CommandQuest"].BackColor(), 65280U);

  EXPECT_EQ(Save(), -1);
  EXPECT_EQ(ExitOf([&] { window_.CommandCancel_Click(); }), -1);
  form_[kBox1].SetValue(0);  // as a user's click does
  form_[kBox1].SetValue(0);  // and again, afresh
  ASSERT_EQ(dialogs_.shown.size(), 4U);
  EXPECT_EQ(dialogs_.shown[0].text, "Saves\r\nand ends");
  EXPECT_EQ(dialogs_.shown[0].title, "Info:");
  EXPECT_EQ(dialogs_.shown[0].icon, MessageIcon::kInformation);
  EXPECT_EQ(dialogs_.shown[1].text, "Ends");
  EXPECT_EQ(dialogs_.shown[2].text, "Efficiency");
  EXPECT_EQ(dialogs_.shown[3].text, "Efficiency");
  EXPECT_EQ(form_[kBox1].Value(), 1);
  EXPECT_FALSE(module_.state.HelpClickGuard);
  EXPECT_TRUE(form_["CommandOK"].Enabled());
  EXPECT_EQ(ReadBytes(program_ini_), before);

  window_.CommandQuest_Click();
  EXPECT_FALSE(module_.state.HelpMode);
  EXPECT_EQ(form_["CommandQuest"].BackColor(), 12632256U);
  form_[kBox1].SetValue(0);
  EXPECT_EQ(form_[kBox1].Value(), 0);
  EXPECT_EQ(dialogs_.shown.size(), 4U);
}

TEST_F(Window, ASaveThatCannotReachProgramIniIsReportedAndEndsWithFailure) {
  window_.Form_Load();
  std::filesystem::remove(program_ini_);
  EXPECT_EQ(Save(), kExitFailure);
  ASSERT_EQ(dialogs_.shown.size(), 1U);
  const std::string expected = dir_ / "plant/parameter/Program.ini";
  EXPECT_EQ(dialogs_.shown[0].text, "File not found: \n\r" + text::UpperCase(expected));
  EXPECT_EQ(Stored(cfg_, "Info", "S_Prog"), "1.0.3 - Standalone");
  EXPECT_FALSE(std::filesystem::exists(program_ini_));

  // A file the backend cannot replace: a read-only file of the kernel behind a link.
  std::filesystem::create_symlink("/proc/version", program_ini_);
  Form form = MakeMainForm();
  ConfigWindow window(module_, form);
  dialogs_.shown.clear();
  EXPECT_EQ(ExitOf([&] { window.CommandOK_Click(); }), kExitFailure);
  ASSERT_EQ(dialogs_.shown.size(), 1U);
  EXPECT_EQ(dialogs_.shown[0].text, "File not saved: \n\r" + text::UpperCase(program_ini_));
}

}  // namespace
