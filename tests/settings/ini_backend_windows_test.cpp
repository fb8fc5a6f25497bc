#include "settings/ini_backend.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "environment/native_runtime.h"
#include "support/fakes.h"

namespace {

namespace fs = std::filesystem;

// The profile functions of Windows, through the wide forms.
TEST(IniBackendWindows, APathBeyondTheAnsiCodePageOpensAndTheFileStaysAnsi) {
  TempDir dir;
  // Ω and → have no place in Windows-1252: the narrow forms could not name this file.
  const fs::path folder = dir.path() / fs::path(u8"\u03A9\u2192");
  fs::create_directories(folder);
  const auto utf8 = [](const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
  };
  const fs::path blank = folder / "Program.ini";
  std::ofstream(blank, std::ios::binary) << "[Machine1]\r\nBlank=   \r\n";
  EXPECT_EQ(ini::ReadProfileString(utf8(blank), "MACHINE1", "blank"), "");
  EXPECT_EQ(ini::ReadProfileString(utf8(blank), "Machine1", "Missing"), "");
  EXPECT_EQ(ini::ReadProfileInt(utf8(blank), "Machine1", "Missing", -1), -1);

  const fs::path created = folder / "New.ini";
  ASSERT_TRUE(ini::WriteProfileString(utf8(created), "Machine1", "Text", "Gr\xC3\xB6\xC3\x9F"));
  std::ifstream in(created, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
            "[Machine1]\r\nText=Gr\xF6\xDF\r\n");
  EXPECT_EQ(ini::ReadProfileString(utf8(created), "machine1", "TEXT"), "Gr\xC3\xB6\xC3\x9F");
  // Without a file name Windows would turn to its own win.ini.
  EXPECT_FALSE(ini::WriteProfileString("", "Machine1", "Text", "x"));
  EXPECT_EQ(ini::ReadProfileString("", "windows", "load"), "");
}

TEST(IniBackendWindows, AnEditKeepsEveryOtherByte) {
  if (NativeRuntime::RunsUnderWine()) {
    GTEST_SKIP() << "Wine writes the whole file anew in its own form (blanks after \"=\" go)";
  }
  TempDir dir;
  const std::string before = "; plant\r\n[Machine1]\r\nBlank=   \r\nZaroMainPictureStatus=5\r\n";
  WriteBytes(dir / "Program.ini", before);
  ASSERT_TRUE(
      ini::WriteProfileString(dir / "Program.ini", "Machine1", "ZaroMainPictureStatus", "7"));
  EXPECT_EQ(ReadBytes(dir / "Program.ini"),
            "; plant\r\n[Machine1]\r\nBlank=   \r\nZaroMainPictureStatus=7\r\n");
}

}  // namespace
