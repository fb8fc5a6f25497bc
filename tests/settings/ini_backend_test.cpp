#include "settings/ini_backend.h"

#include "settings/ini_access.h"
#include "settings/ini_backend_posix.h"
#include "support/fakes.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <utility>

namespace {

namespace fs = std::filesystem;
using Names = std::set<std::string>;
using namespace std::string_literals;

struct stat StatOf(const std::string& path) {
  struct stat st {};
  stat(path.c_str(), &st);
  return st;
}

class IniBackendTest : public testing::Test {
 protected:
  TempDir dir_;
  std::string file_ = dir_ / "test.ini";
};

TEST_F(IniBackendTest, NewFileIsUmaskedAndAReplacedOneKeepsItsMode) {
  const mode_t old_mask = umask(027);
  const bool written = ini::WriteProfileString(file_, "S", "k", "v");
  umask(old_mask);
  ASSERT_TRUE(written);
  EXPECT_EQ(ReadBytes(file_), "[S]\r\nk=v\r\n");
  EXPECT_EQ(StatOf(file_).st_mode & 07777, 0640u);

  ASSERT_EQ(chmod(file_.c_str(), 0604), 0);
  ASSERT_TRUE(ini::WriteProfileString(file_, "S", "k", "2"));
  EXPECT_EQ(StatOf(file_).st_mode & 07777, 0604u);
  EXPECT_EQ(NamesIn(dir_.path()), Names{"test.ini"});
}

TEST_F(IniBackendTest, WritesThroughRelativeSymlink) {
  fs::create_directory(dir_.path() / "real");
  WriteBytes(dir_ / "real/target.ini", "[S]\nk=1\n");
  fs::create_symlink("real/target.ini", dir_.path() / "link.ini");
  ASSERT_TRUE(ini::WriteProfileString(dir_ / "link.ini", "S", "k", "2"));
  EXPECT_TRUE(fs::is_symlink(dir_.path() / "link.ini"));
  EXPECT_EQ(ReadBytes(dir_ / "real/target.ini"), "[S]\nk=2\n");
}

TEST_F(IniBackendTest, WriteOfTheStoredValueLeavesTheFileAlone) {
  WriteBytes(file_, "[S]\nk=1\n");
  const timespec long_ago[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, file_.c_str(), long_ago, 0), 0);
  const ino_t inode = StatOf(file_).st_ino;
  EXPECT_TRUE(ini::WriteProfileString(file_, " s ", "K", "1"));
  EXPECT_EQ(StatOf(file_).st_ino, inode);
  EXPECT_EQ(StatOf(file_).st_mtim.tv_sec, 1'000'000'000);
}

// A writer saving in a loop is killed at random moments; the file must always be whole, and the
// next save clears what killed saves left.
class SaveUnderKill : public IniBackendTest, public testing::WithParamInterface<bool> {};

TEST_P(SaveUnderKill, LeavesTheOldOrTheNewFileAndNoLitter) {
  std::optional<ini::ScopedSaveCalls> named_only;
  if (!GetParam()) {
    ini::SaveCalls calls = ini::SystemSaveCalls();
    calls.open_unnamed = [](const char*, mode_t) { return errno = EOPNOTSUPP, -1; };
    named_only.emplace(calls);
  }
  const std::string values[] = {"0", "22", "4444"};
  const auto file_with = [](const std::string& v) {
    return "[A]\r\nx=1\r\n[S]\r\nk=" + v + "\r\nafter=2\r\n;end";
  };
  WriteBytes(file_, file_with("0"));
  // Kills spread over about three saves, however fast this disk is.
  const auto start = std::chrono::steady_clock::now();
  for (const std::string& v : values) ASSERT_TRUE(ini::WriteProfileString(file_, "S", "k", v));
  const auto save_time = (std::chrono::steady_clock::now() - start) / 3;

  std::mt19937 random(1031);
  std::set<std::string> seen;
  for (int kill = 0; kill < 500; ++kill) {
    int started[2];
    ASSERT_EQ(pipe(started), 0);
    const pid_t writer = fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
      static_cast<void>(write(started[1], "!", 1));
      for (std::size_t i = 1;; ++i) ini::WriteProfileString(file_, "S", "k", values[i % 3]);
    }
    // The clock starts when the writer does: starting a process may take longer than a save.
    char ignored;
    static_cast<void>(read(started[0], &ignored, 1));
    close(started[0]);
    close(started[1]);
    std::this_thread::sleep_for(save_time * (random() % 3000) / 1000);
    ::kill(writer, SIGKILL);
    waitpid(writer, nullptr, 0);
    const std::string now = ReadBytes(file_);
    ASSERT_TRUE(now == file_with("0") || now == file_with("22") || now == file_with("4444"))
        << "after kill " << kill << ": " << now;
    seen.insert(now);
  }
  EXPECT_EQ(seen.size(), 3u) << "the kills never fell between saves";
  ASSERT_TRUE(ini::WriteProfileString(file_, "S", "k", "done"));
  EXPECT_EQ(NamesIn(dir_.path()), Names{"test.ini"});
}

INSTANTIATE_TEST_SUITE_P(TempFile, SaveUnderKill, testing::Bool(),
                         [](const auto& row) { return row.param ? "Unnamed" : "Named"; });

TEST_F(IniBackendTest, TwoWritingProcessesBothKeepEveryEntry) {
  // Entry 1000 * writer + i holds i.
  pid_t writers[2];
  for (int w = 0; w < 2; ++w) {
    writers[w] = fork();
    ASSERT_GE(writers[w], 0);
    if (writers[w] == 0) {
      int failed = 0;
      for (int i = 0; i < 200; ++i) {
        const std::string n = std::to_string(i);
        failed += ini::WriteProfileString(file_, "S", std::to_string(1000 * w + i), n) ? 0 : 1;
      }
      _exit(failed);
    }
  }
  for (const pid_t writer : writers) {
    int status = -1;
    waitpid(writer, &status, 0);
    EXPECT_EQ(status, 0) << "a write failed";
  }
  int lost = 0;
  for (int i = 0; i < 400; ++i) {
    const std::string n = std::to_string(i / 2);
    lost += ini::ReadProfileString(file_, "S", std::to_string(1000 * (i % 2) + i / 2)) == n ? 0 : 1;
  }
  EXPECT_EQ(lost, 0);
}

// Saves the file system refuses, each made by another process: a read-only file or folder (as
// root, the save runs as nobody, since root ignores permissions) and a real full disk (a small
// tmpfs, which only root may mount).
struct RealFault {
  const char* name;
  mode_t file_mode, folder_mode;
  bool full_disk;
};

class RefusedSave : public IniBackendTest, public testing::WithParamInterface<RealFault> {};

TEST_P(RefusedSave, ChangesNothing) {
  const RealFault& c = GetParam();
  const std::string folder = dir_ / "plant";
  const std::string file = folder + "/test.ini";
  fs::create_directory(folder);
  const bool root = geteuid() == 0;
  if (c.full_disk && (!root || mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=16k") != 0)) {
    GTEST_SKIP() << "mounting a small tmpfs needs root";
  }
  WriteBytes(file, "[S]\nk=1\n");
  ASSERT_EQ(chmod(dir_.path().c_str(), 0755), 0);
  ASSERT_EQ(chmod(file.c_str(), c.file_mode), 0);
  ASSERT_EQ(chmod(folder.c_str(), c.folder_mode), 0);
  const std::string value(c.full_disk ? 100'000 : 1, 'x');
  const std::string as_nobody = root && !c.full_disk ? "runuser -u nobody -- " : "";
  const int status = std::system((as_nobody + INI_SAVE_TOOL " " + file + " S k " + value).c_str());
  chmod(folder.c_str(), 0755);
  const std::string bytes = ReadBytes(file);
  const Names names = NamesIn(folder);
  if (c.full_disk) umount2(folder.c_str(), MNT_DETACH);
  if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) GTEST_SKIP() << "could not run the save";
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(bytes, "[S]\nk=1\n");
  EXPECT_EQ(names, Names{"test.ini"});
}

INSTANTIATE_TEST_SUITE_P(Faults, RefusedSave,
                         testing::Values(RealFault{"ReadOnlyFile", 0444, 0777, false},
                                         RealFault{"ReadOnlyFolder", 0666, 0555, false},
                                         RealFault{"FullDisk", 0666, 0777, true}),
                         [](const auto& row) { return std::string(row.param.name); });

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

// Through SaveIni, to show what the program sees of a failed save.
class FailedSave : public ModuleTest, public testing::WithParamInterface<FailCase> {
 protected:
  std::string ini_ = Put("parameter/Program.ini", "[Machine1]\r\nZaroMainPictureStatus=1\r\n");
};

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
