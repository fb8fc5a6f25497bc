#include "errors/error_handler.h"

#include <filesystem>

#include "base/codepage.h"
#include "support/fakes.h"

namespace {

class ErrorPattern : public ModuleTest {
 protected:
  RuntimeError Overflow() const { return RuntimeError(ErrorNumber::kOverflow, "Src"); }
};

TEST_F(ErrorPattern, FailedStepIsLoggedAndTheNextStepRuns) {
  dialogs_.answers = {MessageAnswer::kYes};
  Procedure proc(module_, "Form_Load");
  int value = 7;
  std::vector<int> ran;
  EXPECT_FALSE(proc.Step([&] {
    ran.push_back(1);
    value = NarrowToInt16(module_, 40000);
  }));
  EXPECT_TRUE(proc.Step([&] { ran.push_back(2); }));
  EXPECT_EQ(value, 7);  // the failed assignment never happened
  EXPECT_EQ(ran, (std::vector<int>{1, 2}));
  EXPECT_EQ(ReadBytes(CfgLog()),
            "Fehler in Zaro_MainPictureExt / Zaro_MainPictureExt_Config / Form_Load (Nr. 6) "
            ":Overflow\r\n");
}

TEST_F(ErrorPattern, FailedTestEntersTheGuardedBranch) {
  Procedure proc(module_, "Form_Load");
  EXPECT_TRUE(proc.Test([&]() -> bool { throw Overflow(); }));
  EXPECT_FALSE(proc.Test([] { return false; }));
}

TEST_F(ErrorPattern, AnswerNoEndsTheProgramAfterTheLogEntry) {
  dialogs_.answers = {MessageAnswer::kNo};
  std::string log_while_asking;
  dialogs_.on_show = [&] { log_while_asking = ReadBytes(CfgLog()); };
  Procedure proc(module_, "CloseMe");
  bool next_step_ran = false;
  try {
    proc.Step([&] { throw Overflow(); });
    next_step_ran = true;
    FAIL() << "the program should have ended";
  } catch (const ProgramEnded& ended) {
    EXPECT_EQ(ended.status, 1);
  }
  EXPECT_FALSE(next_step_ran);
  EXPECT_NE(log_while_asking.find("/ CloseMe (Nr. 6) :Overflow"), std::string::npos);
}

TEST_F(ErrorPattern, NegativeNumbersAndDescriptionsAreLoggedAsGiven) {
  EXPECT_EQ(HandleError(module_, -5, "Src", "went wrong", "Proc"), kHandleErrorContinue);
  EXPECT_EQ(ReadBytes(CfgLog()),
            "Fehler in Zaro_MainPictureExt / Src / Proc (Nr. -5) :went wrong\r\n");
}

TEST_F(ErrorPattern, SilentRunNeverAsksAndAlwaysContinues) {
  module_.state.SilentMode = true;
  EXPECT_EQ(HandleError(module_, 76, "Src", "Path not found", "Proc"), kHandleErrorContinue);
  EXPECT_TRUE(dialogs_.shown.empty());
  EXPECT_EQ(ReadBytes(runtime_.service_log),
            "! Fault Zaro_MainPictureExt_Config: Unexpected error!\n\rPath not found\n\r"
            "Error logged to \n\r" +
                text::UpperCase(CfgLog()) + "\r\n");
  EXPECT_FALSE(ReadBytes(CfgLog()).empty());
}

TEST_F(ErrorPattern, ShortProgramNameIsItsOwnModuleName) {
  runtime_.program_name = "cfg";
  HandleError(module_, 6, "cfg", "Overflow", "Proc");
  EXPECT_EQ(ReadBytes(CfgLog()), "Fehler in cfg / cfg / Proc (Nr. 6) :Overflow\r\n");
}

TEST_F(ErrorPattern, UnwritableLogPassesTheErrorToTheCallersCaller) {
  std::filesystem::create_directories(CfgLog());  // a folder where the log should be
  bool inner_went_on = false;
  const auto inner = [&] {
    Procedure proc(module_, "Inner");
    proc.Step([&] { throw Overflow(); });
    inner_went_on = true;
  };
  try {
    inner();
    FAIL() << "the log failure should have escaped";
  } catch (const RuntimeError& escaped) {
    EXPECT_EQ(escaped.number(), static_cast<int>(ErrorNumber::kPathFileAccess));
  }
  EXPECT_FALSE(inner_went_on);
  EXPECT_TRUE(dialogs_.shown.empty());

  // At the outermost frame the program says so and ends.
  try {
    RunOutermost(module_, inner);
    FAIL() << "the program should have ended";
  } catch (const ProgramEnded& ended) {
    EXPECT_EQ(ended.status, 1);
  }
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].text,
            "Unexpected error!\n\rPath/File access error (Nr. 75)\n\rThe program ends.");
}

TEST_F(ErrorPattern, IntegratedLogfileAtTheVeryEndDoesNotRecurse) {
  runtime_.argument_text = "/EXTERNAL=Q7XCFG /LOGFILE";
  module_.state.IntegratedMode = true;
  EXPECT_EQ(HandleError(module_, 6, "Src", "Overflow", "Proc"), kHandleErrorContinue);
  EXPECT_EQ(ReadBytes(CfgLog()),
            "Fehler in Zaro_MainPictureExt / Src / Proc (Nr. 6) :Overflow\r\n");
}

}  // namespace
