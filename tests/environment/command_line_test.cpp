#include "environment/command_line.h"

#include "support/fakes.h"

namespace {

struct OptionCase {
  PathStyle style;
  const char* command_line;
  const char* option;
  std::optional<std::string> value;
};

void PrintTo(const OptionCase& c, std::ostream* os) {
  *os << (c.style == PathStyle::kWindows ? "windows " : "posix ") << c.option << " in '"
      << c.command_line << "'";
}

class ReadCommandCases : public ModuleTest, public ::testing::WithParamInterface<OptionCase> {};

TEST_P(ReadCommandCases, CutsTheValue) {
  runtime_.style = GetParam().style;
  EXPECT_EQ(ReadCommand(module_, GetParam().command_line, GetParam().option), GetParam().value);
  EXPECT_TRUE(dialogs_.shown.empty());
}

constexpr PathStyle kWin = PathStyle::kWindows;
constexpr PathStyle kPosix = PathStyle::kPosix;

INSTANTIATE_TEST_SUITE_P(
    Windows, ReadCommandCases,
    ::testing::Values(
        OptionCase{kWin, "/external=q7xcfg", "EXTERNAL", "Q7XCFG"},
        OptionCase{kWin, "/EXTERNAL:Q7XCFG", "EXTERNAL", "Q7XCFG"},
        OptionCase{kWin, "/EXTERNAL = Q7XCFG", "EXTERNAL", "= Q7XCFG"},
        OptionCase{kWin, "/EXTERNAL=Q7XCFG /LOGFILE=C:\\Temp\\cfg.txt", "EXTERNAL", "Q7XCFG"},
        OptionCase{kWin, "/EXTERNAL=Q7XCFG /LOGFILE=C:\\Temp\\cfg.txt", "LOGFILE",
                   "C:\\TEMP\\CFG.TXT"},
        OptionCase{kWin, "/LOGFILE=C:\\EXTERNAL\\x.txt /EXTERNAL=Q7XCFG", "EXTERNAL", "X.TXT"},
        OptionCase{kWin, "/EXTERNAL=/SILENT", "EXTERNAL", ""},
        OptionCase{kWin, "/LOGFILE=D:/x.txt", "LOGFILE", "D:"},
        OptionCase{kWin, "/LOGFILE=  d:\\my logs\\\"a\".txt  ", "LOGFILE",
                   "D:\\MY LOGS\\\"A\".TXT"},
        OptionCase{kWin, "/EXTERNAL=", "EXTERNAL", ""},
        OptionCase{kWin, "", "EXTERNAL", std::nullopt},
        OptionCase{kWin, "/EXTERNAL=Q7XCFG", "LOGFILE", std::nullopt}));

INSTANTIATE_TEST_SUITE_P(
    Posix, ReadCommandCases,
    ::testing::Values(
        OptionCase{kPosix, "/EXTERNAL=Q7XCFG /LOGFILE=/var/log/cfg.txt", "EXTERNAL", "Q7XCFG"},
        OptionCase{kPosix, "/EXTERNAL=Q7XCFG /LOGFILE=/var/log/cfg.txt", "LOGFILE",
                   "/var/log/cfg.txt"},
        OptionCase{kPosix, "/logfile=/srv/Plant Logs/Cfg.txt /external=q7xcfg", "LOGFILE",
                   "/srv/Plant Logs/Cfg.txt"},
        OptionCase{kPosix, "/external=q7xcfg", "EXTERNAL", "q7xcfg"},
        OptionCase{kPosix, "/EXTERNAL=/SILENT", "EXTERNAL", "/SILENT"},
        OptionCase{kPosix, "/EXTERNAL= /SILENT", "EXTERNAL", ""},
        OptionCase{kPosix, "/LOGFILE=/tmp/x.txt /EXTERNAL=SILENT", "EXTERNAL", "SILENT"},
        OptionCase{kPosix, "/LOGFILE=\xC3\xA4/x.txt", "LOGFILE", "\xC3\xA4/x.txt"}));

struct ModeCase {
  const char* command_line;
  bool integrated;
  bool silent;
};

void PrintTo(const ModeCase& c, std::ostream* os) {
  *os << "'" << c.command_line << "'";
}

class RunMode : public ModuleTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(RunMode, FollowsExternal) {
  runtime_.argument_text = GetParam().command_line;
  EXPECT_EQ(GetStartModeIntegrated(module_), GetParam().integrated);
  EXPECT_EQ(module_.state.IntegratedMode, GetParam().integrated);
  EXPECT_EQ(module_.state.SilentMode, GetParam().silent);
}

INSTANTIATE_TEST_SUITE_P(
    Options, RunMode,
    ::testing::Values(
        ModeCase{"/EXTERNAL=Q7XCFG", true, false}, ModeCase{"/external=q7xcfg", true, false},
        ModeCase{"EXTERNAL=Q7XCFG", true, false},
        ModeCase{"/EXTERNAL:Q7XCFG /LOGFILE=/tmp/a.txt", true, false},
        ModeCase{"/EXTERNAL = Q7XCFG", false, false}, ModeCase{"/EXTERNAL=Q7XCFG2", false, false},
        ModeCase{"/LOGFILE=/tmp/EXTERNAL/x.txt /EXTERNAL=Q7XCFG", false, false},
        ModeCase{"/EXTERNAL=SILENT", false, true}, ModeCase{"/external=Silent", false, true},
        ModeCase{"/EXTERNAL=/SILENT", false, false}, ModeCase{"", false, false}));

TEST_F(ModuleTest, OptionNameAtTheVeryEndIsAnInvalidArgumentAndRunsStandalone) {
  runtime_.argument_text = "/LOGFILE=/tmp/cfg.txt /EXTERNAL";
  dialogs_.answers = {MessageAnswer::kYes};
  EXPECT_FALSE(GetStartModeIntegrated(module_));
  EXPECT_FALSE(module_.state.SilentMode);
  EXPECT_EQ(ReadBytes(CfgLog()),
            "Fehler in Zaro_MainPictureExt / Zaro_MainPictureExt_Config / ReadCommand (Nr. 5) "
            ":Invalid procedure call or argument\r\n");
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(GetPathLogfile(module_), "/tmp/cfg.txt");
}

TEST_F(ModuleTest, LogfileIsEmptyWhenAbsent) {
  runtime_.argument_text = "/EXTERNAL=Q7XCFG";
  EXPECT_EQ(GetPathLogfile(module_), "");
}

}  // namespace
