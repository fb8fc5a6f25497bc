// Tests of the Windows runtime started through a short (8.3) path.
// SPDX-License-Identifier: MIT
#include <windows.h>

#include "base/codepage.h"
#include "support/fakes.h"

// Older launchers start the program through its short (8.3) path. Wine names the module in its
// long form whatever the start, so the system's short form of a long-named copy stands in.
TEST(WindowsRuntime, AShortProgramPathGivesTheLongFolderAndName) {
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "Zaro_MainPictureExt");
  const std::wstring long_path =
      text::WideOf(dir / "Zaro_MainPictureExt\\Zaro_MainPictureExt_Config.exe");
  WriteBytes(text::Utf8OfWide(long_path), "");
  std::wstring short_path(MAX_PATH, L'\0');
  short_path.resize(GetShortPathNameW(long_path.c_str(), short_path.data(), MAX_PATH));
  if (short_path.find(L'~') == std::wstring::npos) GTEST_SKIP() << "no short names here";
  NativeRuntime runtime(0, nullptr);
  runtime.set_program_file(text::Utf8OfWide(short_path));
  EXPECT_EQ(runtime.ProgramName(), "Zaro_MainPictureExt_Config");
  EXPECT_TRUE(runtime.ProgramFolder().ends_with("\\Zaro_MainPictureExt"))
      << runtime.ProgramFolder();
  // A path the system cannot resolve stays as it is.
  runtime.set_program_file("C:\\Missing\\ZARO~VEY.EXE");
  EXPECT_EQ(runtime.ProgramFolder() + runtime.ProgramName(), "C:\\MissingZARO~VEY");
}
