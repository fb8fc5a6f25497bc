#include "settings/ini_access.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>
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

TEST_F(IniAccess, OutOfRangeIntegerIsLoggedAndContinuesWithZero) {
  dialogs_.answers = {MessageAnswer::kYes};
  EXPECT_EQ(LoadIniInteger(module_, "Machine1", "ZaroMainPictureStatus", ini_), 0);

  EXPECT_EQ(ReadBytes(CfgLog()),
            "Fehler in Zaro_MainPictureExt / Zaro_MainPictureExt_Config / LoadIniInteger "
            "(Nr. 6) :Overflow\r\n");
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  const MessageBoxRequest& box = dialogs_.shown[0];
  EXPECT_EQ(box.text, "Unexpected error!\n\rOverflow\n\rError logged to \n\r" +
                          text::UpperCase(CfgLog()) + "\n\rResume?");
  EXPECT_EQ(box.title, "Unexpected error");
  EXPECT_EQ(box.icon, MessageIcon::kCritical);
  EXPECT_EQ(box.buttons, MessageButtons::kYesNo);
  EXPECT_EQ(box.default_answer, MessageAnswer::kYes);
}

TEST_F(IniAccess, OutOfRangeIntegerInSilentRunGoesToServiceLog) {
  module_.state.SilentMode = true;
  EXPECT_EQ(LoadIniInteger(module_, "Machine1", "ZaroMainPictureStatus", ini_), 0);
  EXPECT_TRUE(dialogs_.shown.empty());
  EXPECT_EQ(ReadBytes(runtime_.service_log),
            "! Fault Zaro_MainPictureExt_Config: Unexpected error!\n\rOverflow\n\r"
            "Error logged to \n\r" +
                text::UpperCase(CfgLog()) + "\r\n");
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

enum class Fault {
  kInjected,
  kFolderInItsPlace,
  kThroughMissingFolder,
  kNoName,
  kUtf16Be,
  kLocked
};

struct FailCase {
  const char* name;
  Fault fault;
  std::function<void(ini::SaveCalls&)> inject;
};

void PrintTo(const FailCase& c, std::ostream* os) {
  *os << c.name;
}

class FailedSave : public IniAccess, public testing::WithParamInterface<FailCase> {};

TEST_P(FailedSave, ReturnsZeroAndChangesNothing) {
  const FailCase& c = GetParam();
  const fs::path folder = fs::path(ini_).parent_path();
  std::string target = ini_;
  if (c.fault == Fault::kFolderInItsPlace) fs::create_directory(target = folder / "dir.ini");
  if (c.fault == Fault::kThroughMissingFolder) target = folder / "missing/x.ini";
  if (c.fault == Fault::kNoName) target.clear();
  if (c.fault == Fault::kUtf16Be) WriteBytes(ini_, "\xFE\xFF\0[\0M\0]\0\n"s);
  const std::string bytes = ReadBytes(ini_);
  const std::set<std::string> names = NamesIn(folder);

  ini::SaveCalls calls = ini::SystemSaveCalls();
  calls.lock_wait = std::chrono::milliseconds(50);
  if (c.inject) c.inject(calls);
  const ini::ScopedSaveCalls injected(calls);
  const int other_writer = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (c.fault == Fault::kLocked) {
    ASSERT_EQ(flock(other_writer, LOCK_EX), 0);
  }
  EXPECT_EQ(SaveIni(module_, std::int16_t{7}, "Machine1", "ZaroMainPictureStatus", target), 0);
  close(other_writer);

  EXPECT_EQ(ReadBytes(ini_), bytes);
  EXPECT_EQ(NamesIn(folder), names);
  EXPECT_TRUE(dialogs_.shown.empty());
}

ssize_t Fail(int error) {
  errno = error;
  return -1;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FailedSave,
    testing::Values(FailCase{"ShortWrite", Fault::kInjected,
                             [](ini::SaveCalls& calls) {
                               calls.write = [first = true](int fd, const char* data,
                                                            std::size_t size) mutable {
                                 return std::exchange(first, false) ? write(fd, data, size / 2) : 0;
                               };
                             }},
                    FailCase{"DiskFull", Fault::kInjected,
                             [](ini::SaveCalls& calls) {
                               calls.write = [first = true](int fd, const char* data,
                                                            std::size_t) mutable {
                                 return std::exchange(first, false) ? write(fd, data, 3)
                                                                    : Fail(ENOSPC);
                               };
                             }},
                    FailCase{"FailedFlush", Fault::kInjected,
                             [](ini::SaveCalls& calls) {
                               calls.close = [](int fd) {
                                 return close(fd), static_cast<int>(Fail(EIO));
                               };
                             }},
                    FailCase{"FailedFsync", Fault::kInjected,
                             [](ini::SaveCalls& calls) {
                               calls.sync = [](int) { return static_cast<int>(Fail(EIO)); };
                             }},
                    FailCase{"FailedRename", Fault::kInjected,
                             [](ini::SaveCalls& calls) {
                               calls.rename = [](const char*, const char*) {
                                 return static_cast<int>(Fail(EIO));
                               };
                             }},
                    FailCase{"FolderInPlaceOfTheFile", Fault::kFolderInItsPlace, nullptr},
                    FailCase{"PathThroughMissingFolder", Fault::kThroughMissingFolder, nullptr},
                    FailCase{"NoFileName", Fault::kNoName, nullptr},
                    FailCase{"Utf16BigEndianFile", Fault::kUtf16Be, nullptr},
                    FailCase{"AnotherWriterHoldsTheLock", Fault::kLocked, nullptr}),
    [](const auto& row) { return std::string(row.param.name); });

// Files no one should write, read and saved into all the same.
struct HostileCase {
  const char* name;
  std::string (*bytes)();
  const char* read;  // the status word as LoadIniString gives it
};

void PrintTo(const HostileCase& c, std::ostream* os) {
  *os << c.name;
}

class HostileFile : public IniAccess, public testing::WithParamInterface<HostileCase> {};

TEST_P(HostileFile, ReadsItsValueAndSavesBesideTheRest) {
  const HostileCase& c = GetParam();
  WriteBytes(ini_, c.bytes());
  EXPECT_EQ(LoadIniString(module_, "Machine1", "ZaroMainPictureStatus", ini_), c.read);
  EXPECT_EQ(SaveIni(module_, std::int16_t{5}, "machine1", "ZaroMainPictureStatus", ini_), 1);
  EXPECT_EQ(LoadIniInteger(module_, "Machine1", "ZaroMainPictureStatus", ini_), 5);
  EXPECT_TRUE(dialogs_.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileFile,
    testing::Values(
        HostileCase{"RandomBytes",
                    [] {
                      std::mt19937 random(1031);
                      std::string bytes(1 << 20, 'x');
                      for (std::size_t i = 1; i < bytes.size(); ++i) {
                        bytes[i] = static_cast<char>(random());
                      }
                      return bytes;
                    },
                    ""},
        HostileCase{"NulBytes", [] { return "[Machine1\0]\0\nZaroMainPictureStatus=1\0 2\n"s; },
                    ""},
        HostileCase{"TenMiBLine", [] { return "[Machine1]\n" + std::string(10 << 20, '='); }, ""},
        HostileCase{"HundredThousandSections",
                    [] {
                      std::string bytes;
                      for (int i = 0; i < 100'000; ++i) bytes += "[" + std::to_string(i) + "]\n";
                      return bytes + "[Machine1]\nZaroMainPictureStatus=3";
                    },
                    "3"},
        HostileCase{"HeaderWithoutBracket",
                    [] { return "[Machine1\r\nZaroMainPictureStatus=4\r\n"s; }, "4"},
        HostileCase{"KeysWithoutEquals",
                    [] { return "[Machine1]\nZaroMainPictureStatus\nZaroMainPictureStatus 4\n"s; },
                    ""},
        HostileCase{
            "ValueOneOverTheLimit",
            [] { return "[Machine1]\nZaroMainPictureStatus=" + std::string(255, '7'); },
            "77777777777777777777777777777777777777777777777777777777777777777777777777777777"
            "77777777777777777777777777777777777777777777777777777777777777777777777777777777"
            "77777777777777777777777777777777777777777777777777777777777777777777777777777777"
            "77777777777777"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
