// Tests of the window's logic: loading, saving, stamping, cancel and help.
// SPDX-License-Identifier: MIT
#include "app/config_window.h"

#include <filesystem>
#include <tuple>

#include "app/control_names.h"
#include "app/silent_run.h"
#include "app/window_table.h"
#include "base/codepage.h"
#include "environment/entry_names.h"
#include "errors/error_handler.h"
#include "settings/ini_backend.h"
#include "support/fakes.h"

namespace {

constexpr const char* kCfg = "Zaro_MainPictureExt/Zaro_MainPictureExt.cfg";

class Window : public ModuleTest {
 protected:
  Window() {
    program_ini_ = Put("parameter/Program.ini",
                       "; plant program settings\r\n[Project]\r\nNumberOfMachines=1\r\n"
                       "[Machine1]\r\nMachineName=Line 1\r\nZaroMainPictureStatus=5\r\n"
                       "Speed=120\r\n");
    cfg_ = Put(kCfg, "[Project]\r\nValidMachines=1\r\n[Info]\r\nS_Prog=old\r\nNote=kept\r\n");
  }

  std::string StatusWord() {
    return ini::ReadProfileString(program_ini_, kStatusSection, kStatusEntry);
  }

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

  std::string program_ini_;
  std::string cfg_;
  Form form_ = MakeMainForm();
  ConfigWindow window_{module_, form_};
};

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
    EXPECT_EQ(form[kCheckEffizienz].Value(), c.shown1);
    EXPECT_EQ(form[kCheckAuswurfAufTatsaechliche].Value(), c.shown2);
    form[kCheckEffizienz].SetValue(c.set1);
    form[kCheckAuswurfAufTatsaechliche].SetValue(c.set2);
    EXPECT_EQ(ExitOf([&] { window.CommandOK_Click(); }), 0);
    EXPECT_EQ(StatusWord(), c.written);
    EXPECT_EQ(ini::ReadProfileString(program_ini_, kStatusSection, "Speed"), "120");
    EXPECT_FALSE(form[kCommandOK].Enabled() || form[kCommandCancel].Enabled());
    EXPECT_EQ(ini::ReadProfileString(cfg_, kInfoSection, kS_ProgEntry), "1.0.3 - Standalone");
    EXPECT_EQ(ini::ReadProfileString(cfg_, kInfoSection, kS_EditorEntry), "666768");  // X=a-b_c
  }
  EXPECT_TRUE(dialogs_.shown.empty());  // no cancel question
  EXPECT_FALSE(std::filesystem::exists(CfgLog()));
}

// The end-to-end run opens an integrated window from the configurator's copy and saves locally.
TEST_F(Window, IntegratedCloseQuestionNamesTheStandaloneProgram) {
  runtime_.argument_text = "/EXTERNAL=Q7XCFG /LOGFILE=" + (dir_ / "q7x.log");
  window_.Form_Load();
  Boolean cancel = kFalse;
  dialogs_.answers = {MessageAnswer::kNo};
  window_.Form_QueryUnload(cancel, 0);
  ASSERT_EQ(dialogs_.shown.size(), 1U);
  EXPECT_EQ(dialogs_.shown[0].text,
            "Cancel edits?\n\rRemark:\n\rUntil now no changes have been taken over \n\r"
            "\"Zaro_MainPictureExt\" has to be configured again in \"standalone-mode\" via \n\r\"" +
                runtime_.ProgramFilePath() + "\"");
}

// The widget tests show a close answered No keeping the window open.
TEST_F(Window, CancelAsksFirstAndLogsOnlyAYes) {
  window_.Form_Load();
  const std::string before = ReadBytes(program_ini_);
  form_[kCheckAuswurfAufTatsaechliche].SetValue(1);

  dialogs_.answers = {MessageAnswer::kNo};
  EXPECT_EQ(ExitOf([&] { window_.CommandCancel_Click(); }), -1);
  ASSERT_EQ(dialogs_.shown.size(), 1U);
  const MessageBoxRequest& asked = dialogs_.shown[0];
  EXPECT_EQ(asked.text, "Cancel edits?\n\rRemark:\n\rUntil now no changes have been taken over ");
  EXPECT_EQ(
      std::tuple(asked.title, asked.icon, asked.buttons, asked.default_answer),
      std::tuple("Cancel?", MessageIcon::kWarning, MessageButtons::kYesNo, MessageAnswer::kNo));
  EXPECT_EQ(form_[kCheckAuswurfAufTatsaechliche].Value(), 1);
  EXPECT_FALSE(std::filesystem::exists(CfgLog()));

  dialogs_.answers = {MessageAnswer::kYes};
  EXPECT_EQ(ExitOf([&] { window_.CommandCancel_Click(); }), 0);
  EXPECT_EQ(ReadBytes(CfgLog()),
            "Konfigurations-EXE wurde abgebrochen:     Zaro_MainPictureExt\r\n");
  EXPECT_EQ(ReadBytes(program_ini_), before);
  EXPECT_EQ(ini::ReadProfileString(cfg_, kInfoSection, kS_ProgEntry), "old");
}

// The widget test shows the tick kept and one box per click; here OK and Cancel only inform.
TEST_F(Window, HelpModeShowsHelpInsteadOfActing) {
  Put("Tools/Zaro_MainPictureExt_Config.ini",
      "[1031]\r\nHelp1=Saves<cRlF>and ends\r\nHelp2=Ends\r\n");
  window_.Form_Load();
  const std::string before = ReadBytes(program_ini_);
  window_.CommandQuest_Click();
  EXPECT_EQ(ExitOf([&] { window_.CommandOK_Click(); }), -1);
  EXPECT_EQ(ExitOf([&] { window_.CommandCancel_Click(); }), -1);
  ASSERT_EQ(dialogs_.shown.size(), 2U);
  EXPECT_EQ(dialogs_.shown[0].text, "Saves\r\nand ends");
  EXPECT_EQ(dialogs_.shown[0].icon, MessageIcon::kInformation);
  EXPECT_EQ(dialogs_.shown[1].text, "Ends");
  EXPECT_TRUE(form_[kCommandOK].Enabled());
  EXPECT_EQ(ReadBytes(program_ini_), before);

  window_.CommandQuest_Click();
  EXPECT_EQ(ExitOf([&] { window_.CommandOK_Click(); }), 0);
}

// Two logs that cannot be written make the mode query itself fail; the load resumes inside the
// branch the query guards.
TEST_F(Window, AFailedModeQueryResumesInTheIntegratedCaption) {
  runtime_.argument_text = "/EXTERNAL";
  runtime_.failing_appends = 2;
  dialogs_.answers = {MessageAnswer::kYes};
  window_.Form_Load();
  EXPECT_EQ(form_.Caption(), "Erweiterte Konfiguration Tools - integriert");
  ASSERT_EQ(dialogs_.shown.size(), 1U);
  EXPECT_NE(ReadBytes(CfgLog()).find("/ Form_Load (Nr. 75)"), std::string::npos);
}

TEST_F(Window, AFailedTextLoadAnsweredYesKeepsTheDesignAndShowsTheStoredBits) {
  Put("Tools/Zaro_MainPictureExt_Config.ini", "[1031]\r\nCaption_CheckEffizienz_=Effizienz\r\n");
  runtime_.failing_program_folder_call = 2;  // the first is the language's, the second the texts'
  dialogs_.answers = {MessageAnswer::kYes};
  window_.Form_Load();
  ASSERT_EQ(dialogs_.shown.size(), 1U);
  EXPECT_EQ(dialogs_.shown[0].title, "Unexpected error");
  EXPECT_EQ(form_[kCheckEffizienz].Caption(), "mit Effizienz");
  EXPECT_EQ(form_[kCheckEffizienz].Value(), 1);
  EXPECT_EQ(form_[kCheckAuswurfAufTatsaechliche].Value(), 0);
  EXPECT_TRUE(form_[kCommandOK].Enabled());
}

// The save's error escaped the save (three log writes failed), so the load returned unsaved.
TEST_F(Window, ASilentRunWhoseLoadReturnsBeforeTheSaveSaysSoAndFails) {
  runtime_.argument_text = "/external=silent";
  Put("parameter/Program.ini", "[Machine1]\r\nZaroMainPictureStatus=40000\r\n");
  runtime_.passing_appends = 2;  // the load's own overflow, in both logs
  runtime_.failing_appends = 3;  // the save's overflow, and again where it escaped to, twice
  EXPECT_EQ(RunSilent(runtime_), kExitFailure);
  EXPECT_TRUE(
      ReadBytes(runtime_.service_log).ends_with(": The silent run ended without saving.\r\n"));
  EXPECT_EQ(StatusWord(), "40000");
}

// A missing file is the end-to-end run's case; here one the backend cannot replace: a read-only
// file of the kernel behind a link. A word not saved leaves no stamp; a stamp not saved is
// reported once for its two entries.
TEST_F(Window, ASaveThatFailsIsReportedAndEndsWithFailure) {
  if (OnWindows()) GTEST_SKIP() << "the write is made to fail through a POSIX link to /proc";
  const std::string cfg_before = ReadBytes(cfg_);
  for (const bool word_fails : {true, false}) {
    SCOPED_TRACE(word_fails ? "word" : "stamp");
    const std::string& unwritable = word_fails ? program_ini_ : cfg_;
    std::filesystem::remove(unwritable);
    std::filesystem::create_symlink("/proc/version", unwritable);
    Form form = MakeMainForm();
    ConfigWindow window(module_, form);
    dialogs_.shown.clear();
    EXPECT_EQ(ExitOf([&] { window.CommandOK_Click(); }), kExitFailure);
    ASSERT_EQ(dialogs_.shown.size(), 1U);
    EXPECT_EQ(dialogs_.shown[0].text, "File not saved: \n\r" + text::UpperCase(unwritable));
    if (word_fails) {
      EXPECT_EQ(ReadBytes(cfg_), cfg_before);
      std::filesystem::remove(program_ini_);
      Put("parameter/Program.ini", "[Machine1]\r\nZaroMainPictureStatus=5\r\n");
    } else {
      EXPECT_EQ(StatusWord(), "4");
    }
  }
}

}  // namespace
