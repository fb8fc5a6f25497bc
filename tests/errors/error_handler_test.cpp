// Tests of the error handler.
// SPDX-License-Identifier: MIT
#include "errors/error_handler.h"

#include <filesystem>
#include <tuple>

#include "base/codepage.h"
#include "support/fakes.h"

class ErrorPattern : public ModuleTest {
 protected:
  [[noreturn]] static void Fail() { throw RuntimeError(ErrorNumber::kOverflow, "Src"); }
};

// The window's tests show a failed step cut short and a failed test entering its branch.
TEST_F(ErrorPattern, AnswerNoEndsTheProgramAfterTheLogEntryButSilentRunsNeverAsk) {
  dialogs_.answers = {MessageAnswer::kNo};
  std::string log_while_asking;
  dialogs_.on_show = [&] { log_while_asking = ReadBytes(CfgLog()); };
  Procedure proc(module_, "CloseMe");
  EXPECT_THROW(proc.Step([] { Fail(); }), ProgramEnded);
  const std::string entry = "Fehler in Zaro_MainPictureExt / Src / CloseMe (Nr. 6) :Overflow\r\n";
  EXPECT_EQ(log_while_asking, entry);
  const std::string message =
      "Unexpected error!\n\rOverflow\n\rError logged to \n\r" + text::UpperCase(CfgLog());
  const MessageBoxRequest& box = dialogs_.shown.at(0);
  EXPECT_EQ(std::tie(box.text, box.title, box.icon, box.buttons, box.default_answer),
            std::tuple(message + "\n\rResume?", "Unexpected error", MessageIcon::kCritical,
                       MessageButtons::kYesNo, MessageAnswer::kYes));

  module_.state.SilentMode = true;  // the same error goes to the service log, and the run goes on
  EXPECT_FALSE(proc.Step([] { Fail(); }));
  EXPECT_EQ(ReadBytes(runtime_.service_log),
            "! Fault Zaro_MainPictureExt_Config: " + message + "\r\n");
  EXPECT_EQ(HandleError(module_, -5, "Src", "went wrong", "Proc"), HandleErrorResult::kContinue);
  EXPECT_EQ(ReadBytes(CfgLog()),
            entry + entry + "Fehler in Zaro_MainPictureExt / Src / Proc (Nr. -5) :went wrong\r\n");
  EXPECT_EQ(dialogs_.shown.size(), 1U);
}

TEST_F(ErrorPattern, UnwritableLogPassesTheErrorToTheCallersCaller) {
  std::filesystem::create_directories(CfgLog());  // a folder where the log should be
  const auto inner = [&] {
    Procedure proc(module_, "Inner");
    proc.Step([] { Fail(); });
  };
  EXPECT_THROW(inner(), RuntimeError);  // out of the step: Inner goes no further
  EXPECT_TRUE(dialogs_.shown.empty());
  // At the outermost frame the program says so and ends.
  EXPECT_THROW(RunOutermost(module_, inner), ProgramEnded);
  ASSERT_EQ(dialogs_.shown.size(), 1U);
  EXPECT_EQ(dialogs_.shown[0].text,
            "Unexpected error!\n\rPath/File access error (Nr. 75)\n\rThe program ends.");
}
