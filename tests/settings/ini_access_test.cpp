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

// What a row sets up before the save: failing system calls, or a target that cannot be written.
struct Arrangement {
  ini::SaveCalls calls = ini::SystemSaveCalls();
  fs::path folder;
  std::string target;
  int other_writer = -1;  // a descriptor of the folder of its own, to hold its lock
};

struct FailCase {
  const char* name;
  void (*arrange)(Arrangement&);
};

void PrintTo(const FailCase& c, std::ostream* os) {
  *os << c.name;
}

int Fail(int error) {
  errno = error;
  return -1;
}

// A write(2) that takes half of the first buffer and then fails with `error` (0: no progress).
template <int error>
void FailSecondWrite(Arrangement& a) {
  a.calls.write = [first = true](int fd, const char* data, std::size_t size) mutable -> ssize_t {
    return std::exchange(first, false) ? write(fd, data, size / 2) : error ? Fail(error) : 0;
  };
}

class FailedSave : public IniAccess, public testing::WithParamInterface<FailCase> {};

TEST_P(FailedSave, ReturnsZeroAndChangesNothing) {
  Arrangement a{.folder = fs::path(ini_).parent_path(), .target = ini_};
  a.calls.lock_wait = std::chrono::milliseconds(50);
  GetParam().arrange(a);
  const std::string bytes = ReadBytes(ini_);
  const std::set<std::string> names = NamesIn(a.folder);
  const ini::ScopedSaveCalls injected(a.calls);
  EXPECT_EQ(SaveIni(module_, std::int16_t{7}, "Machine1", "ZaroMainPictureStatus", a.target), 0);
  if (a.other_writer >= 0) close(a.other_writer);
  EXPECT_EQ(ReadBytes(ini_), bytes);
  EXPECT_EQ(NamesIn(a.folder), names);
  EXPECT_TRUE(dialogs_.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FailedSave,
    testing::Values(
        FailCase{"ShortWrite", FailSecondWrite<0>}, FailCase{"DiskFull", FailSecondWrite<ENOSPC>},
        FailCase{
            "FailedFlush",
            [](Arrangement& a) { a.calls.close = [](int fd) { return close(fd), Fail(EIO); }; }},
        FailCase{"FailedFsync",
                 [](Arrangement& a) { a.calls.sync = [](int) { return Fail(EIO); }; }},
        FailCase{"FailedRename",
                 [](Arrangement& a) {
                   a.calls.rename = [](const char*, const char*) { return Fail(EIO); };
                 }},
        FailCase{"FolderInItsPlace",
                 [](Arrangement& a) { fs::create_directory(a.target = a.folder / "dir.ini"); }},
        FailCase{"ThroughMissingFolder",
                 [](Arrangement& a) { a.target = a.folder / "missing/x.ini"; }},
        FailCase{"NoName", [](Arrangement& a) { a.target.clear(); }},
        FailCase{"Utf16BigEndian",
                 [](Arrangement& a) { WriteBytes(a.target, "\xFE\xFF\0[\0M\0]\0\n"s); }},
        FailCase{"AnotherWriterHoldsTheLock",
                 [](Arrangement& a) {
                   a.other_writer = open(a.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
                   flock(a.other_writer, LOCK_EX);
                 }}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
