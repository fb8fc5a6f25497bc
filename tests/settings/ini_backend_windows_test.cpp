// Tests of the Windows INI backend.
// SPDX-License-Identifier: MIT
#include "settings/ini_backend.h"

#include "support/fakes.h"

// The profile functions of Windows, through the wide forms.
TEST(IniBackendWindows, APathBeyondTheAnsiCodePageOpensAndTheFileStaysAnsi) {
  TempDir dir;
  // Ω and → have no place in Windows-1252: the narrow forms could not name these files.
  const std::string blank = dir / "\u03A9\u2192/Program.ini";
  WriteBytes(blank, "[Machine1]\r\nBlank=   \r\n");
  EXPECT_EQ(ini::ReadProfileString(blank, "MACHINE1", "blank"), "");
  const std::string created = dir / "\u03A9\u2192/New.ini";
  ASSERT_TRUE(ini::WriteProfileString(created, "Machine1", "Text", "Gr\xC3\xB6\xC3\x9F"));
  EXPECT_EQ(ReadBytes(created), "[Machine1]\r\nText=Gr\xF6\xDF\r\n");
  EXPECT_EQ(ini::ReadProfileString(created, "machine1", "TEXT"), "Gr\xC3\xB6\xC3\x9F");
  // Without a file name Windows would turn to its own win.ini.
  EXPECT_FALSE(ini::WriteProfileString("", "Machine1", "Text", "x"));
  EXPECT_EQ(ini::ReadProfileString("", "windows", "load"), "");
}

// Windows' profile functions read the UTF-8 mark into the first line: a write would add a second
// [Machine1] beside the one they cannot find.
TEST(IniBackendWindows, AFileWithTheUtf8MarkIsNeverWritten) {
  TempDir dir;
  const std::string marked = dir / "Program.ini";
  const std::string bytes = "\xEF\xBB\xBF[Machine1]\r\nZaroMainPictureStatus=5\r\n[Info]\r\n";
  WriteBytes(marked, bytes);
  EXPECT_FALSE(ini::WriteProfileString(marked, "Machine1", "ZaroMainPictureStatus", "4"));
  EXPECT_FALSE(ini::WriteProfileString(marked, "Info", "S_Prog", "1.0.3"));
  EXPECT_EQ(ReadBytes(marked), bytes);
}
