// Tests of the command-line reader.
// SPDX-License-Identifier: MIT
#include "environment/command_line.h"

#include "support/fakes.h"

class CommandLine : public ModuleTest {};

TEST_F(CommandLine, ReadCommandCutsOneValuePerRule) {
  using enum PathStyle;
  const struct {
    PathStyle style;
    const char *line, *option;
    std::optional<std::string> value;
  } cases[] = {
      // Name in any case; value trimmed and upper-cased, inner blanks and quotes kept.
      {kWindows, R"(/logfile=  d:\my logs\"a".txt  )", "LOGFILE", R"(D:\MY LOGS\"A".TXT)"},
      {kWindows, "EXTERNAL:Q7XCFG", "EXTERNAL", "Q7XCFG"},       // no "/" needed, any separator
      {kWindows, "/EXTERNAL = Q7XCFG", "EXTERNAL", "= Q7XCFG"},  // a blank separates too
      // The first occurrence counts, even inside another value.
      {kWindows, "/LOGFILE=C:\\EXTERNAL\\x.txt /EXTERNAL=Q7XCFG", "EXTERNAL", "X.TXT"},
      {kWindows, "/EXTERNAL=", "EXTERNAL", ""},                 // one character after it: no error
      {kWindows, "/EXTERNAL=Q7XCFG", "LOGFILE", std::nullopt},  // absent
      // Paths hold "/": a value ends only at a blank and "/", and keeps its letters.
      {kPosix, "/logfile=/srv/L\xC3\xB6gs/Cfg.txt /external=q7xcfg", "LOGFILE",
       "/srv/L\xC3\xB6gs/Cfg.txt"},
      {kPosix, "/EXTERNAL=/SILENT", "EXTERNAL", "/SILENT"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    runtime_.style = c.style;
    EXPECT_EQ(ReadCommand(module_, c.line, c.option), c.value);
  }
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(CommandLine, RunModeFollowsTheWholeExternalValueInAnyCase) {
  const auto mode = [&](const char* line) {
    runtime_.argument_text = line;
    module_.state.IntegratedMode = module_.state.SilentMode = true;  // both get written
    const bool integrated = GetStartModeIntegrated(module_);
    EXPECT_EQ(module_.state.IntegratedMode, integrated) << line;
    return std::pair(integrated, module_.state.SilentMode);
  };
  EXPECT_EQ(mode("/external=Q7xcfg"), std::pair(true, false));
  EXPECT_EQ(mode("/external=silent"), std::pair(false, true));
  EXPECT_EQ(mode("/EXTERNAL=Q7XCFG2"), std::pair(false, false));
  EXPECT_EQ(mode("/EXTERNAL=SILENT2"), std::pair(false, false));
}

TEST_F(CommandLine, OptionNameAtTheVeryEndIsAnInvalidArgumentAndRunsStandalone) {
  runtime_.argument_text = "/LOGFILE=/tmp/cfg.txt /EXTERNAL";
  EXPECT_FALSE(GetStartModeIntegrated(module_));
  EXPECT_FALSE(module_.state.SilentMode);
  EXPECT_EQ(ReadBytes(CfgLog()),
            "Fehler in Zaro_MainPictureExt / Zaro_MainPictureExt_Config / ReadCommand (Nr. 5) "
            ":Invalid procedure call or argument\r\n");
  EXPECT_EQ(dialogs_.shown.size(), 1U);
  EXPECT_EQ(GetPathLogfile(module_), "/tmp/cfg.txt");
}

// The argument text as Windows hands the command line over.
TEST(ArgumentText, DropsOnlyTheProgramNameAndOneBlank) {
  const std::pair<const char*, const char*> rows[] = {
      {R"(tool.exe /EXTERNAL=Q7XCFG)", "/EXTERNAL=Q7XCFG"},
      {R"("C:\Program Files\Cfg\tool.exe" /LOGFILE="D:\a b.txt")", R"(/LOGFILE="D:\a b.txt")"},
      {R"("C:\Cfg\tool.exe"/EXTERNAL=SILENT)", "/EXTERNAL=SILENT"},
      {"tool.exe\t  /A  \"x\"  ", "  /A  \"x\"  "},
      {"tool.exe", ""},
      {"", ""}};
  for (const auto& [line, arguments] : rows) EXPECT_EQ(ArgumentTextOf(line), arguments) << line;
}
