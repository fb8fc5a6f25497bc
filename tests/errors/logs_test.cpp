#include "errors/logs.h"

#include <filesystem>

#include "base/codepage.h"
#include "errors/error.h"
#include "support/fakes.h"

namespace {

class Logs : public ModuleTest {};

TEST_F(Logs, StandaloneEntriesAppendToTheBaseFolderLog) {
  EXPECT_EQ(WriteCfgLog(module_, "first\n\rsecond"),
            "Error logged to \n\r" + text::UpperCase(CfgLog()));
  WriteCfgLog(module_,
              "Konfiguration tats\xC3\xA4"
              "chlich");
  EXPECT_EQ(ReadBytes(CfgLog()),
            "first\n\rsecond\r\nKonfiguration tats\xE4"
            "chlich\r\n");
}

TEST_F(Logs, IntegratedRunLogsToTheNamedFileOrFallsBack) {
  module_.state.IntegratedMode = true;
  const std::string named = dir_ / "Logs/Run Log.txt";
  std::filesystem::create_directories(dir_ / "Logs");
  runtime_.argument_text = "/EXTERNAL=Q7XCFG /LOGFILE=" + named;
  EXPECT_EQ(WriteCfgLog(module_, "entry"), "Error logged to \n\r" + text::UpperCase(named));
  EXPECT_EQ(ReadBytes(named), "entry\r\n");

  runtime_.argument_text = "/EXTERNAL=Q7XCFG";
  WriteCfgLog(module_, "fallback");
  EXPECT_EQ(ReadBytes(CfgLog()), "fallback\r\n");
}

TEST_F(Logs, UnwritableConfigurationLogThrows) {
  runtime_.program_folder = dir_ / "gone/Tools";
  EXPECT_THROW(WriteCfgLog(module_, "x"), RuntimeError);
}

TEST_F(Logs, ServiceLogFallsBackToStandardError) {
  WriteServiceLog(module_, "one");
  EXPECT_EQ(ReadBytes(runtime_.service_log), "! Fault Zaro_MainPictureExt_Config: one\r\n");
  runtime_.service_log = dir_ / "no/such/folder/MorvikServicePack.log";
  WriteServiceLog(module_, "two");
  EXPECT_EQ(runtime_.standard_error, "! Fault Zaro_MainPictureExt_Config: two\n");
}

TEST_F(Logs, FaultIsShownOrSentToTheServiceLog) {
  ReportFault(module_, "File not found: \n\rX");
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].text, "File not found: \n\rX");
  EXPECT_EQ(dialogs_.shown[0].title, "Zaro_MainPictureExt_Config");
  EXPECT_EQ(dialogs_.shown[0].icon, MessageIcon::kCritical);
  EXPECT_EQ(dialogs_.shown[0].buttons, MessageButtons::kOk);

  module_.state.SilentMode = true;
  ReportFault(module_, "gone");
  EXPECT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(ReadBytes(runtime_.service_log), "! Fault Zaro_MainPictureExt_Config: gone\r\n");
}

}  // namespace
