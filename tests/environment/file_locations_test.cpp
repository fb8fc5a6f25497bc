#include "environment/file_locations.h"

#include <filesystem>

#include "base/codepage.h"
#include "support/fakes.h"

namespace {

struct FolderCase {
  const char* folder;
  char separator;
  const char* base;
  const char* name_only;
};

void PrintTo(const FolderCase& c, std::ostream* os) {
  *os << "'" << c.folder << "'";
}

class PathRules : public ::testing::TestWithParam<FolderCase> {};

TEST_P(PathRules, BaseFolderAndLastComponent) {
  EXPECT_EQ(BaseFolderOf(GetParam().folder, GetParam().separator), GetParam().base);
  EXPECT_EQ(FileNameOnlyOf(GetParam().folder, GetParam().separator), GetParam().name_only);
}

INSTANTIATE_TEST_SUITE_P(
    BothSeparators, PathRules,
    ::testing::Values(FolderCase{"D:\\Plant\\Tools", '\\', "D:\\Plant", "Tools"},
                      FolderCase{"D:\\", '\\', "D:", ""},
                      FolderCase{"D:\\Plant\\", '\\', "D:\\Plant", ""},
                      FolderCase{"Tools", '\\', "", "Tools"},
                      FolderCase{"/opt/plant/Tools", '/', "/opt/plant", "Tools"},
                      FolderCase{"/Tools", '/', "", "Tools"}, FolderCase{"/", '/', "", ""}));

TEST(PathRulesNames, ModuleNameDropsTheSuffix) {
  EXPECT_EQ(ModuleNameOf("Zaro_MainPictureExt_Config"), "Zaro_MainPictureExt");
  EXPECT_EQ(ModuleNameOf("Tool_Config"), "Tool");
  EXPECT_EQ(ModuleNameOf("Short"), "Short");
  EXPECT_EQ(ModuleNameOf("Gr\xC3\xBC\xC3\x9F_Config"), "Gr\xC3\xBC\xC3\x9F");
}

TEST(PathRulesNames, ConfiguratorCopyWithOrWithoutTrailingSeparator) {
  EXPECT_EQ(ConfiguratorProgramIniOf("E:\\Backup\\", '\\'), "E:\\Backup\\parameter\\program.ini");
  EXPECT_EQ(ConfiguratorProgramIniOf("E:\\Backup", '\\'), "E:\\Backup\\parameter\\program.ini");
  EXPECT_EQ(ConfiguratorProgramIniOf("", '\\'), "\\parameter\\program.ini");
  EXPECT_EQ(ConfiguratorProgramIniOf("/srv/backup/", '/'), "/srv/backup/parameter/program.ini");
}

class Locations : public ModuleTest {};

TEST_F(Locations, FindsTheFilesBesideTheProgramFolder) {
  EXPECT_EQ(GetQ7XConfigurationIniPath(module_), "");
  EXPECT_EQ(GetProgramIniPath(module_, 1), "");
  const std::string central = Put("parameter/q7xconfiguration.ini", "[Common]\r\n");
  const std::string local = Put("parameter/Program.ini", "");
  EXPECT_EQ(GetQ7XConfigurationIniPath(module_), central);
  EXPECT_EQ(GetProgramIniPath(module_, 1), local);
  EXPECT_EQ(GetProgramIniPath(module_, 2), local);
  EXPECT_GT(runtime_.pending_event_runs, 0);
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(Locations, FolderOfTheRightNameDoesNotCount) {
  std::filesystem::create_directories(dir_ / "plant/parameter/Program.ini");
  EXPECT_EQ(GetProgramIniPath(module_, 2), "");
}

TEST_F(Locations, IntegratedSetupReadsTheConfiguratorCopy) {
  module_.state.IntegratedMode = true;
  const std::string backup = dir_ / "backup";
  Put("parameter/q7xconfiguration.ini", "[Common]\r\nSaveAndRestore=" + backup + "/\r\n");
  const std::string local = Put("parameter/Program.ini", "");
  EXPECT_EQ(GetProgramIniPath(module_, 1), "");
  WriteBytes(backup + "/parameter/program.ini", "");
  EXPECT_EQ(GetProgramIniPath(module_, 1), backup + "/parameter/program.ini");
  EXPECT_EQ(GetProgramIniPath(module_, 2), local);
}

TEST_F(Locations, LetterCaseOfPathComponentsIsForgiven) {
  if (OnWindows()) GTEST_SKIP() << "Windows itself finds a name in any letter case";
  const std::string local = Put("Parameter/PROGRAM.INI", "");
  EXPECT_EQ(GetProgramIniPath(module_, 2), local);
  const std::string exact = Put("parameter/Program.ini", "");
  EXPECT_EQ(GetProgramIniPath(module_, 2), exact);
  const std::string cfg = Put("zaro_mainpictureext/Zaro_MainPictureExt.CFG", "");
  EXPECT_EQ(GetCFGPath(module_), cfg);
}

TEST_F(Locations, MissingConfigurationFileIsReportedAndEndsTheProgram) {
  const std::string expected = dir_ / "plant/Zaro_MainPictureExt/Zaro_MainPictureExt.cfg";
  try {
    GetCFGPath(module_);
    FAIL() << "the program should have ended";
  } catch (const ProgramEnded& ended) {
    EXPECT_EQ(ended.status, 1);
  }
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].text, "File not found: \n\r" + text::UpperCase(expected));
  EXPECT_EQ(dialogs_.shown[0].title, "Zaro_MainPictureExt_Config");
  EXPECT_EQ(dialogs_.shown[0].icon, MessageIcon::kCritical);
}

TEST_F(Locations, ModuleNameFollowsTheProgramName) {
  runtime_.program_name = "Tool_Config";
  const std::string cfg = Put("Tool/Tool.cfg", "");
  EXPECT_EQ(GetOCXName(module_), "Tool");
  EXPECT_EQ(GetCFGPath(module_), cfg);
  EXPECT_EQ(GetFileNameOnly(module_, runtime_.program_folder), "Tools");
}

}  // namespace
