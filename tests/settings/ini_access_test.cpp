#include "settings/ini_access.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <utility>

#include "settings/codepage.h"
#include "settings/ini_backend_posix.h"
#include "support/fakes.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class IniAccess : public ModuleTest {
 protected:
  std::string ini_ = Put("parameter/Program.ini",
                         "[Machine1]\r\nZaroMainPictureStatus=40000\r\nMinus=-1\r\n"
                         "Blank=   \r\n");
};

TEST_F(IniAccess, MissingFileSectionOrEntryReadsAsDefaultAndCreatesNothing) {
  const std::string missing = dir_ / "nowhere/none.ini";
  EXPECT_EQ(LoadIniString(module_, "Machine1", "Any", missing), "");
  EXPECT_EQ(LoadIniInteger(module_, "Machine1", "Any", missing), -1);
  EXPECT_FALSE(std::filesystem::exists(missing));
  EXPECT_EQ(LoadIniString(module_, "Other", "Minus", ini_), "");
  EXPECT_EQ(LoadIniInteger(module_, "Machine1", "Missing", ini_), -1);
  EXPECT_EQ(LoadIniInteger(module_, "Machine1", "Blank", ini_), -1);
  EXPECT_EQ(LoadIniInteger(module_, "machine1", "MINUS", ini_), -1);
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(IniAccess, OutOfRangeIntegerIsHandledAndContinuesWithZero) {
  dialogs_.answers = {MessageAnswer::kYes};
  EXPECT_EQ(LoadIniInteger(module_, "Machine1", "ZaroMainPictureStatus", ini_), 0);
  EXPECT_EQ(ReadBytes(CfgLog()),
            "Fehler in Zaro_MainPictureExt / Zaro_MainPictureExt_Config / LoadIniInteger "
            "(Nr. 6) :Overflow\r\n");
  EXPECT_EQ(dialogs_.shown.size(), 1u);
}

TEST_F(IniAccess, SaveWritesEachKindAsPlainText) {
  const std::string file = dir_ / "plant/parameter/new.ini";
  EXPECT_EQ(SaveIni(module_, true, "S", "Bool", file), 1);
  EXPECT_EQ(SaveIni(module_, std::int16_t{3}, "S", "Int16", file), 1);
  EXPECT_EQ(SaveIni(module_, std::int32_t{-2}, "S", "Int32", file), 1);
  EXPECT_EQ(SaveIni(module_, std::uint8_t{255}, "S", "Byte", file), 1);
  EXPECT_EQ(SaveIni(module_, 2.5, "S", "Double", file), 1);
  EXPECT_EQ(SaveIni(module_, -0.25f, "S", "Float", file), 1);
  EXPECT_EQ(SaveIni(module_, std::string("1031"), "S", "Text", file), 1);
  EXPECT_EQ(SaveIni(module_, false, "S", "Bool", file), 1);
  EXPECT_EQ(ReadBytes(file),
            "[S]\r\nBool=false\r\nInt16=3\r\nInt32=-2\r\nByte=255\r\nDouble=2.5\r\n"
            "Float=-0.25\r\nText=1031\r\n");
}

TEST_F(IniAccess, UnsupportedKindIsReportedAndLeavesTheEntry) {
  const std::string before = ReadBytes(ini_);
  EXPECT_EQ(SaveIni(module_, UnsupportedValue{"Date"}, "Machine1", "Minus", ini_), 0);
  EXPECT_EQ(ReadBytes(ini_), before);
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].text, "Ini Save:  wrong data type");
  EXPECT_EQ(dialogs_.shown[0].title, "Zaro_MainPictureExt_Config");
  EXPECT_EQ(dialogs_.shown[0].buttons, MessageButtons::kOk);
}

// Injected through the save's system calls, or set up for real.
enum class Fault {
  kShortWrite,
  kDiskFull,
  kFailedFlush,
  kFailedFsync,
  kFailedRename,
  kFolderInItsPlace,
  kThroughMissingFolder,
  kNoName,
  kUtf16BigEndian,
  kAnotherWriterHoldsTheLock
};

class FailedSave : public IniAccess,
                   public testing::WithParamInterface<std::pair<const char*, Fault>> {};

TEST_P(FailedSave, ReturnsZeroAndChangesNothing) {
  const fs::path folder = fs::path(ini_).parent_path();
  std::string target = ini_;
  ini::SaveCalls calls = ini::SystemSaveCalls();
  calls.lock_wait = std::chrono::milliseconds(50);
  const auto fail = [](int error) { return errno = error, -1; };
  const Fault fault = GetParam().second;
  switch (fault) {
    case Fault::kShortWrite:
    case Fault::kDiskFull:
      calls.write = [first = true, full = fault == Fault::kDiskFull, fail](
                        int fd, const char* data, std::size_t size) mutable -> ssize_t {
        if (std::exchange(first, false)) return write(fd, data, size / 2);
        return full ? fail(ENOSPC) : 0;
      };
      break;
    case Fault::kFailedFlush:
      calls.close = [fail](int fd) { return close(fd), fail(EIO); };
      break;
    case Fault::kFailedFsync:
      calls.sync = [fail](int) { return fail(EIO); };
      break;
    case Fault::kFailedRename:
      calls.rename = [fail](const char*, const char*) { return fail(EIO); };
      break;
    case Fault::kFolderInItsPlace:
      fs::create_directory(target = folder / "dir.ini");
      break;
    case Fault::kThroughMissingFolder:
      target = folder / "missing/x.ini";
      break;
    case Fault::kNoName:
      target.clear();
      break;
    case Fault::kUtf16BigEndian:
      WriteBytes(ini_, "\xFE\xFF\0[\0M\0]\0\n"s);
      break;
    case Fault::kAnotherWriterHoldsTheLock:
      break;
  }
  const std::string bytes = ReadBytes(ini_);
  const std::set<std::string> names = NamesIn(folder);
  const ini::ScopedSaveCalls injected(calls);
  const int other_writer = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fault == Fault::kAnotherWriterHoldsTheLock) flock(other_writer, LOCK_EX);
  EXPECT_EQ(SaveIni(module_, std::int16_t{7}, "Machine1", "ZaroMainPictureStatus", target), 0);
  close(other_writer);

  EXPECT_EQ(ReadBytes(ini_), bytes);
  EXPECT_EQ(NamesIn(folder), names);
  EXPECT_TRUE(dialogs_.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FailedSave,
    testing::Values(std::pair{"ShortWrite", Fault::kShortWrite},
                    std::pair{"DiskFull", Fault::kDiskFull},
                    std::pair{"FailedFlush", Fault::kFailedFlush},
                    std::pair{"FailedFsync", Fault::kFailedFsync},
                    std::pair{"FailedRename", Fault::kFailedRename},
                    std::pair{"FolderInItsPlace", Fault::kFolderInItsPlace},
                    std::pair{"ThroughMissingFolder", Fault::kThroughMissingFolder},
                    std::pair{"NoName", Fault::kNoName},
                    std::pair{"Utf16BigEndian", Fault::kUtf16BigEndian},
                    std::pair{"AnotherWriterHoldsTheLock", Fault::kAnotherWriterHoldsTheLock}),
    [](const auto& row) { return std::string(row.param.first); });

}  // namespace
