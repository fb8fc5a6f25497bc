// Tests of the configuration and service logs.
// SPDX-License-Identifier: MIT
#include "errors/logs.h"

#include "base/codepage.h"
#include "support/fakes.h"

class Logs : public ModuleTest {};

// An entry goes as given, in the code page, to the base folder's log or an integrated run's own.
TEST_F(Logs, EntryGoesToTheBaseFolderLogOrTheIntegratedRunsNamedFile) {
  const std::string named = Put("Logs/Run Log.txt", "");
  runtime_.argument_text = "/EXTERNAL=Q7XCFG /LOGFILE=" + named;
  WriteCfgLog(module_, "first\n\rB\xC3\xA4r");  // standalone: never the named file
  EXPECT_EQ(ReadBytes(CfgLog()), "first\n\rB\xE4r\r\n");
  module_.state.IntegratedMode = true;
  EXPECT_EQ(WriteCfgLog(module_, "entry"), "Error logged to \n\r" + text::UpperCase(named));
  EXPECT_EQ(ReadBytes(named), "entry\r\n");
  // No value, or a name at the very end: the error that reading it raises must not recurse.
  for (const char* line : {"/EXTERNAL=Q7XCFG", "/EXTERNAL=Q7XCFG /LOGFILE"}) {
    runtime_.argument_text = line;
    WriteCfgLog(module_, line);
  }
  EXPECT_EQ(ReadBytes(CfgLog()),
            "first\n\rB\xE4r\r\n/EXTERNAL=Q7XCFG\r\n/EXTERNAL=Q7XCFG /LOGFILE\r\n");
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(Logs, FaultIsShownOrInSilentRunsLoggedToTheServiceLogOrTheSystemLogAndStandardError) {
  ReportFault(module_, "shown");
  ASSERT_EQ(dialogs_.shown.size(), 1U);
  EXPECT_EQ(dialogs_.shown[0].icon, MessageIcon::kCritical);

  // The service log itself is the error pattern's business.
  module_.state.SilentMode = true;
  runtime_.service_log = dir_ / "no/such/folder/MorvikServicePack.log";
  ReportFault(module_, "two");
  EXPECT_EQ(runtime_.system_log, "! Fault Zaro_MainPictureExt_Config: two");
  EXPECT_EQ(runtime_.standard_error, "! Fault Zaro_MainPictureExt_Config: two\n");
  EXPECT_EQ(dialogs_.shown.size(), 1U);
}
