// Tests of the program's INI access.
// SPDX-License-Identifier: MIT
#include "settings/ini_access.h"

#include <filesystem>

#include "support/fakes.h"

class IniAccess : public ModuleTest {
 protected:
  std::string ini_ = Put("parameter/Program.ini",
                         "[Machine1]\r\nZaroMainPictureStatus=40000\r\nMinus=-1\r\nBlank=   \r\n");
};

TEST_F(IniAccess, MissingFileSectionOrEntryReadsAsDefaultAndCreatesNothing) {
  const std::string missing = dir_ / "nowhere/none.ini";
  EXPECT_EQ(LoadIniString(module_, "Machine1", "Any", missing), "");
  EXPECT_EQ(LoadIniInteger(module_, "Machine1", "Any", missing), -1);
  EXPECT_FALSE(std::filesystem::exists(missing));
  EXPECT_EQ(LoadIniString(module_, "Other", "Minus", ini_), "");
  EXPECT_EQ(LoadIniInteger(module_, "Machine1", "Missing", ini_), -1);
  EXPECT_EQ(LoadIniInteger(module_, "Machine1", "Blank", ini_), -1);
  // A failed save is the caller's to report: zero, and no box of its own.
  EXPECT_EQ(SaveIni(module_, true, "Machine1", "Any", dir_.path().string()), 0);
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(IniAccess, OutOfRangeIntegerIsHandledAndContinuesWithZero) {
  dialogs_.answers = {MessageAnswer::kYes};
  EXPECT_EQ(LoadIniInteger(module_, "Machine1", "ZaroMainPictureStatus", ini_), 0);
  EXPECT_EQ(ReadBytes(CfgLog()),
            "Fehler in Zaro_MainPictureExt / Zaro_MainPictureExt_Config / LoadIniInteger "
            "(Nr. 6) :Overflow\r\n");
  EXPECT_EQ(dialogs_.shown.size(), 1U);
}

TEST_F(IniAccess, SaveWritesEachKindAsPlainTextAndNoOtherKind) {
  const std::string file = dir_ / "plant/parameter/new.ini";
  EXPECT_EQ(SaveIni(module_, true, "S", "Bool", file), 1);
  EXPECT_EQ(SaveIni(module_, std::int16_t{3}, "S", "Int16", file), 1);
  EXPECT_EQ(SaveIni(module_, std::int32_t{-2}, "S", "Int32", file), 1);
  EXPECT_EQ(SaveIni(module_, std::uint8_t{255}, "S", "Byte", file), 1);
  EXPECT_EQ(SaveIni(module_, 2.5, "S", "Double", file), 1);
  EXPECT_EQ(SaveIni(module_, -0.25F, "S", "Float", file), 1);
  EXPECT_EQ(SaveIni(module_, std::string("1031"), "S", "Text", file), 1);
  EXPECT_EQ(SaveIni(module_, false, "S", "Bool", file), 1);
  EXPECT_EQ(SaveIni(module_, UnsupportedValue{"Date"}, "S", "Text", file), 0);  // blanks nothing
  EXPECT_EQ(ReadBytes(file),
            "[S]\r\nBool=false\r\nInt16=3\r\nInt32=-2\r\nByte=255\r\nDouble=2.5\r\n"
            "Float=-0.25\r\nText=1031\r\n");
}

// Sparse, so cheap to make.
TEST_F(IniAccess, AFileOver64MiBIsReportedOnceThenReadsAsMissingAndIsNotWritten) {
  if (OnWindows()) GTEST_SKIP() << "the profile functions read a file of any size";
  const std::string large = dir_ / "large.ini";
  WriteBytes(large, "[S]\r\nk=1\r\n");
  std::filesystem::resize_file(large, (64 << 20) + 1);
  dialogs_.answers = {MessageAnswer::kYes};
  EXPECT_EQ(LoadIniString(module_, "S", "k", large), "");
  EXPECT_EQ(LoadIniInteger(module_, "S", "k", large), -1);
  EXPECT_EQ(SaveIni(module_, true, "S", "k", large), 0);
  EXPECT_EQ(dialogs_.shown.size(), 1U);
  EXPECT_NE(ReadBytes(CfgLog()).find("File larger than 64 MiB"), std::string::npos);
  EXPECT_EQ(std::filesystem::file_size(large), (64U << 20) + 1);
}
