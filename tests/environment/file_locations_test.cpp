// Tests of where the program finds its files.
// SPDX-License-Identifier: MIT
#include "environment/file_locations.h"

#include <filesystem>

#include "base/codepage.h"
#include "base/path_rules.h"
#include "errors/error_handler.h"
#include "support/fakes.h"

// The usual paths are the locations' tests below and the end-to-end run's.
TEST(PathRules, DriveRootEmptyBackupFolderAndDotsOutsideTheExtension) {
  EXPECT_EQ(BaseFolderOf("D:\\", '\\'), "D:");
  EXPECT_EQ(ProgramNameOf("D:\\Tools.v2\\Zaro_Config.exe", '\\'), "Zaro_Config");
  EXPECT_EQ(ProgramNameOf("/opt/tools.d/Zaro_Config", '/'), "Zaro_Config");
  EXPECT_EQ(ProgramNameOf(".Zaro_Config", '\\'), ".Zaro_Config");
  EXPECT_EQ(FileNameOnlyOf("D:\\", '\\'), "");
  EXPECT_EQ(FileNameOnlyOf("Tools", '\\'), "Tools");
  EXPECT_EQ(ConfiguratorProgramIniOf("", '\\'), "\\parameter\\program.ini");
}

struct Locations : ModuleTest {
  using enum PathKind;
};

TEST_F(Locations, FindsOrdinaryFilesBesideTheProgramFolderInAnyLetterCase) {
  EXPECT_EQ(GetQ7XConfigurationIniPath(module_), "");
  const std::string central = Put("parameter/q7xconfiguration.ini", "[Common]\r\n");
  EXPECT_EQ(GetQ7XConfigurationIniPath(module_), central);
  std::filesystem::create_directories(dir_ / "plant/parameter/program.ini");
  EXPECT_EQ(GetProgramIniPath(module_, kConfiguratorCopy), "");  // a folder does not count
  if (OnWindows()) GTEST_SKIP() << "Windows itself finds a name in any letter case";
  const std::string other_case = Put("Parameter/PROGRAM.INI", "");
  EXPECT_EQ(GetProgramIniPath(module_, kLocal), other_case);
  const std::string exact = Put("parameter/Program.ini", "");
  EXPECT_EQ(GetProgramIniPath(module_, kConfiguratorCopy), exact);
  EXPECT_EQ(GetProgramIniPath(module_, kLocal), exact);
  const std::string cfg = Put("zaro_mainpictureext/Zaro_MainPictureExt.CFG", "");
  EXPECT_EQ(GetCFGPath(module_), cfg);
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(Locations, IntegratedSetupReadsTheConfiguratorCopy) {
  module_.state.IntegratedMode = true;
  const std::string backup = dir_ / "backup";
  Put("parameter/q7xconfiguration.ini", "[Common]\r\nSaveAndRestore=" + backup + "/\r\n");
  const std::string local = Put("parameter/Program.ini", "");
  EXPECT_EQ(GetProgramIniPath(module_, kConfiguratorCopy), "");
  WriteBytes(backup + "/parameter/program.ini", "");
  EXPECT_EQ(GetProgramIniPath(module_, kConfiguratorCopy), backup + "/parameter/program.ini");
  EXPECT_EQ(GetProgramIniPath(module_, kLocal), local);
  // Written by a Windows editor, or in UTF-8 by a Linux one: the same folder.
  const std::string umlaut = dir_ / "Gr\xC3\xBC\xC3\x9F";
  WriteBytes(umlaut + "/parameter/program.ini", "");
  for (const std::string& value : {text::Utf8ToWindows1252(umlaut), umlaut}) {
    Put("parameter/q7xconfiguration.ini", "[Common]\r\nSaveAndRestore=" + value + "\r\n");
    EXPECT_EQ(GetProgramIniPath(module_, kConfiguratorCopy), umlaut + "/parameter/program.ini");
  }
  if (OnWindows()) return;  // Windows itself finds a name in any letter case, past ".." too
  const std::string up = dir_ / "plant/./../";
  Put("parameter/q7xconfiguration.ini", "[Common]\r\nSaveAndRestore=" + up + "BACKUP\r\n");
  EXPECT_EQ(GetProgramIniPath(module_, kConfiguratorCopy), up + "backup/parameter/program.ini");
}

TEST_F(Locations, ConfigurationFileIsNamedAfterTheModuleAndMustExist) {
  runtime_.program_name = "Gr\xC3\xBC\xC3\x9F_Config";  // less the last 7 characters, not bytes
  const std::string cfg = dir_ / "plant/Gr\xC3\xBC\xC3\x9F/Gr\xC3\xBC\xC3\x9F.cfg";
  EXPECT_THROW(GetCFGPath(module_), ProgramEnded);
  ASSERT_EQ(dialogs_.shown.size(), 1U);
  EXPECT_EQ(dialogs_.shown[0].text, "File not found: \n\r" + text::UpperCase(cfg));
  WriteBytes(cfg, "");
  EXPECT_EQ(GetCFGPath(module_), cfg);
  // A shorter name is its own, also for the error handler, which must not fail on it.
  runtime_.program_name = "cfg";
  HandleError(module_, 6, "cfg", "Overflow", "Proc");
  EXPECT_EQ(ReadBytes(CfgLog()), "Fehler in cfg / cfg / Proc (Nr. 6) :Overflow\r\n");
}

// `a` and `A` both naming their own folder give 2^30 spellings of one path.
TEST(NativeRuntime, ACaseLoopOfThirtyLevelsIsSearchedOnce) {
  if (OnWindows()) GTEST_SKIP() << "Windows itself finds a name in any letter case";
  TempDir dir;
  std::filesystem::create_directory_symlink(".", dir.path() / "a");
  std::filesystem::create_directory_symlink(".", dir.path() / "A");
  std::string deep = dir / "";
  for (int level = 0; level < 30; ++level) deep += "a/";
  const NativeRuntime runtime(0, nullptr);
  EXPECT_EQ(runtime.FindFile(deep + "program.ini"), "");
  WriteBytes(dir / "Program.INI", "");
  EXPECT_EQ(runtime.FindFile(deep + "program.ini"), deep + "Program.INI");
}
