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

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <tuple>
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
  WriteBytes(file_, "[S]\nk   =   1  \n");
  const timespec long_ago[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, file_.c_str(), long_ago, 0), 0);
  const ino_t inode = StatOf(file_).st_ino;
  EXPECT_TRUE(ini::WriteProfileString(file_, " s ", "K", "1"));
  EXPECT_EQ(StatOf(file_).st_ino, inode);
  EXPECT_EQ(StatOf(file_).st_mtim.tv_sec, 1'000'000'000);
}

// What a save hands the disk, in order, through the calls tests can replace. Temporary files of
// killed saves go with the next save, but only under the folder lock: without it (NFS) one may
// belong to a save still running.
TEST_F(IniBackendTest, ASaveCountsOnlyOnceItIsOnDisk) {
  struct Row {
    const char* name;
    bool no_lock, no_proc, fail_folder_sync, second_name, written;
    std::string calls;
  };
  const std::string replaced = "lock write sync name close rename syncdir ";
  const Row rows[] = {
      {"Replaced", false, false, false, false, true, replaced},
      {"NoLockForTheFolder", true, false, false, false, true, replaced},
      {"NoProcToNameTheUnnamedFile", false, true, false, false, true,
       "lock write sync name close write sync close rename syncdir "},
      {"FailedFolderSync", false, false, true, false, false, replaced},
      {"SecondNameWrittenInPlace", false, false, false, true, true, "lock write sync close "}};
  for (const Row& row : rows) {
    std::string calls;
    ini::SaveCalls c = ini::SystemSaveCalls();
    const auto record = [&](const char* call) { return calls += call, calls += ' ', 0; };
    c.lock = [&, lock = c.lock](int fd, int operation) {
      return record("lock") + (row.no_lock ? (errno = ENOLCK, -1) : lock(fd, operation));
    };
    c.write = [&](int fd, const char* data, std::size_t size) {
      return record("write") + write(fd, data, size);
    };
    c.sync = [&](int fd) {
      const bool folder = S_ISDIR(StatOf("/proc/self/fd/" + std::to_string(fd)).st_mode);
      return record(folder ? "syncdir" : "sync") +
             (folder && row.fail_folder_sync ? (errno = EIO, -1) : fsync(fd));
    };
    c.name_unnamed = [&, name = c.name_unnamed](int fd, const char* path) {
      return record("name") + (row.no_proc ? (errno = ENOENT, -1) : name(fd, path));
    };
    c.close = [&](int fd) { return record("close") + close(fd); };
    c.rename = [&](const char* from, const char* to) {
      return record("rename") + rename(from, to);
    };
    fs::remove(dir_ / "mirror.ini");
    WriteBytes(file_, "[S]\nk=1\n");
    WriteBytes(dir_ / ".ini_write.aB3xY9", "left by a killed save");
    if (row.second_name) fs::create_hard_link(file_, dir_ / "mirror.ini");
    const ini::ScopedSaveCalls recorded(c);
    EXPECT_EQ(ini::WriteProfileString(file_, "S", "k", "2"), row.written) << row.name;
    EXPECT_EQ(calls, row.calls) << row.name;
    EXPECT_EQ(ReadBytes(row.second_name ? dir_ / "mirror.ini" : file_), "[S]\nk=2\n") << row.name;
    EXPECT_EQ(NamesIn(dir_.path()).size(), 1u + row.second_name + row.no_lock) << row.name;
  }
}

// An ACL entry, a user attribute and the group's bits survive a replacement; a new file gets what
// any file made there gets (the folder's default ACL, its mask from mode 0666).
TEST_F(IniBackendTest, ASaveKeepsTheFilesAttributes) {
  WriteBytes(file_, "[S]\nk=1\n");
  ASSERT_EQ(chmod(file_.c_str(), 0640), 0);
  const std::string shared = dir_ / "shared";
  fs::create_directory(shared);
  const std::string set = "setfacl -m u:nobody:rw " + file_ + " && setfattr -n user.plant -v a " +
                          file_ + " && setfacl -d -m u:nobody:rw " + shared + " && touch " +
                          shared + "/touched 2>/dev/null";
  if (std::system(set.c_str()) != 0) GTEST_SKIP() << "this file system takes no ACL or attribute";
  const auto attributes = [&](const std::string& path) {
    const std::string list = "{ getfacl -p " + path + " && getfattr -d -m - " + path +
                             "; } 2>/dev/null | sed s,touched,new.ini, >" +
                             (dir_ / "attributes.txt");
    return std::system(list.c_str()), ReadBytes(dir_ / "attributes.txt");
  };
  const std::string before = attributes(file_);
  const ino_t inode = StatOf(file_).st_ino;
  ASSERT_TRUE(ini::WriteProfileString(file_, "S", "k", "2"));
  EXPECT_NE(StatOf(file_).st_ino, inode) << "not replaced";
  EXPECT_EQ(attributes(file_), before);
  ASSERT_TRUE(ini::WriteProfileString(shared + "/new.ini", "S", "k", "1"));
  EXPECT_EQ(attributes(shared + "/new.ini"), attributes(shared + "/touched"));
}

// A writer saving in a loop is killed at random moments; the file must always be whole, and the
// next save clears what killed saves left.
class SaveUnderKill : public IniBackendTest, public testing::WithParamInterface<bool> {};

TEST_P(SaveUnderKill, LeavesTheOldOrTheNewFileAndNoLitter) {
  int unnamed = 0;
  ini::SaveCalls calls = ini::SystemSaveCalls();
  calls.open_unnamed = [&, open_unnamed = calls.open_unnamed](const char* folder, mode_t mode) {
    const int fd = GetParam() ? open_unnamed(folder, mode) : (errno = EOPNOTSUPP, -1);
    return unnamed += fd >= 0, fd;
  };
  const ini::ScopedSaveCalls path_taken(calls);
  const std::string values[] = {"0", "22", "4444"};
  const auto file_with = [](const std::string& v) {
    return "[A]\r\nx=1\r\n[S]\r\nk=" + v + "\r\nafter=2\r\n;end";
  };
  WriteBytes(file_, file_with("0"));
  // Kills spread over about three saves, however fast this disk is.
  const auto start = std::chrono::steady_clock::now();
  for (const std::string& v : values) ASSERT_TRUE(ini::WriteProfileString(file_, "S", "k", v));
  const auto save_time = (std::chrono::steady_clock::now() - start) / 3;
  ASSERT_EQ(unnamed > 0, GetParam()) << "the saves did not take the way under test";

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
  pid_t writers[2];
  for (int w = 0; w < 2; ++w) {
    if ((writers[w] = fork()) == 0) {
      bool written = true;
      for (int i = 0; i < 200; ++i) {
        written &= ini::WriteProfileString(file_, "S", std::to_string(1000 * w + i), "v");
      }
      _exit(written ? 0 : 1);
    }
  }
  for (const pid_t writer : writers) {
    int status = -1;
    EXPECT_EQ(waitpid(writer, &status, 0), writer);
    EXPECT_EQ(status, 0) << "a write failed";
  }
  // Each entry has a line of its own: a lost update is a missing line.
  const std::string bytes = ReadBytes(file_);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 401);
}

// Saves made by another process, as another user where it matters (root ignores permissions, so
// as root the save runs as nobody): refused where the file system says no (a read-only file or
// folder, a real full disk on a small tmpfs, which only root may mount); a file whose owner and
// group the writer cannot give a new file is written in place.
struct OtherWriter {
  const char* name;
  mode_t file_mode, folder_mode;
  bool full_disk;
  int status;  // of ini_save_tool: 0 written, 3 refused
};

void PrintTo(const OtherWriter& c, std::ostream* os) {
  *os << c.name;
}

class SaveByAnotherProcess : public IniBackendTest,
                             public testing::WithParamInterface<OtherWriter> {};

TEST_P(SaveByAnotherProcess, IsRefusedOrKeepsWhatTheFileIs) {
  const OtherWriter& c = GetParam();
  const std::string folder = dir_ / "plant";
  const std::string file = folder + "/test.ini";
  fs::create_directory(folder);
  const bool root = geteuid() == 0;
  if (c.full_disk && (!root || mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=16k") != 0)) {
    GTEST_SKIP() << "mounting a small tmpfs needs root";
  }
  if (c.status == 0 && !root) GTEST_SKIP() << "only root can make a file of another owner";
  WriteBytes(file, "[S]\nk=1\n");
  // The tool where nobody can reach it, wherever the build lies.
  const std::string tool = dir_ / "ini_save_tool";
  fs::copy_file(INI_SAVE_TOOL, tool);
  ASSERT_EQ(chmod(dir_.path().c_str(), 0755), 0);
  ASSERT_EQ(chmod(file.c_str(), c.file_mode), 0);
  ASSERT_EQ(chmod(folder.c_str(), c.folder_mode), 0);
  const struct stat before = StatOf(file);
  const std::string value(c.full_disk ? 100'000 : 1, 'x');
  const std::string as_nobody = root && !c.full_disk ? "runuser -u nobody -- " : "";
  const int status = std::system((as_nobody + tool + " " + file + " S k " + value).c_str());
  chmod(folder.c_str(), 0755);
  const std::string bytes = ReadBytes(file);
  const struct stat after = StatOf(file);
  const Names names = NamesIn(folder);
  if (c.full_disk) umount2(folder.c_str(), MNT_DETACH);
  ASSERT_TRUE(WIFEXITED(status)) << "the save did not end by itself";
  EXPECT_EQ(WEXITSTATUS(status), c.status);
  EXPECT_EQ(bytes, c.status == 0 ? "[S]\nk=x\n" : "[S]\nk=1\n");
  EXPECT_EQ(names, Names{"test.ini"});
  EXPECT_EQ(std::tie(after.st_ino, after.st_uid, after.st_gid),
            std::tie(before.st_ino, before.st_uid, before.st_gid));
}

INSTANTIATE_TEST_SUITE_P(Faults, SaveByAnotherProcess,
                         testing::Values(OtherWriter{"ReadOnlyFile", 0444, 0777, false, 3},
                                         OtherWriter{"ReadOnlyFolder", 0666, 0555, false, 3},
                                         OtherWriter{"FullDisk", 0666, 0777, true, 3},
                                         OtherWriter{"GroupItCannotKeep", 0666, 0777, false, 0}),
                         [](const auto& row) { return std::string(row.param.name); });

// A save that fails at one step, through SaveIni, to show what the program sees of it.
struct FailCase {
  const char* name;
  int write_error = -1;  // the second write(2) fails with it (0: takes nothing) after the first
                         // took all but the last byte
  int fsync_error = 0, close_error = 0, rename_error = 0;
  bool named = false;        // no unnamed file: the named fallback
  bool second_name = false;  // another name of the file makes the save write in place
  bool locked = false;       // another writer holds the folder's lock
  const char* target = "";   // instead of Program.ini; "-" for no name at all
  std::string bytes = {};    // instead of Program.ini's
};

void PrintTo(const FailCase& c, std::ostream* os) {
  *os << c.name;
}

int Fail(int error) {
  return errno = error, -1;
}

class FailedSave : public ModuleTest, public testing::WithParamInterface<FailCase> {
 protected:
  std::string ini_ = Put("parameter/Program.ini", "[Machine1]\r\nZaroMainPictureStatus=1\r\n");
};

TEST_P(FailedSave, ReturnsZeroAndChangesNothing) {
  const FailCase& c = GetParam();
  const fs::path folder = fs::path(ini_).parent_path();
  const std::string target = *c.target == '-' ? ""
                             : *c.target      ? (folder / c.target).string()
                                              : ini_;
  if (std::string(c.target) == "dir.ini") fs::create_directory(target);
  if (!c.bytes.empty()) WriteBytes(ini_, c.bytes);
  if (c.second_name) fs::create_hard_link(ini_, folder / "mirror.ini");
  // The temporary file may be one of the other writer's save, still running.
  if (c.locked) WriteBytes(folder / ".ini_write.Xy12z9", "");
  const int other_writer = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (c.locked) flock(other_writer, LOCK_EX);
  ini::SaveCalls calls = ini::SystemSaveCalls();
  calls.lock_wait = std::chrono::milliseconds(50);
  if (c.write_error >= 0) {
    calls.write = [&, first = true](int fd, const char* data, std::size_t size) mutable {
      return std::exchange(first, false) ? write(fd, data, size - 1)
             : c.write_error             ? Fail(c.write_error)
                                         : 0;
    };
  }
  if (c.fsync_error) calls.sync = [&](int) { return Fail(c.fsync_error); };
  if (c.close_error) calls.close = [&](int fd) { return close(fd), Fail(c.close_error); };
  if (c.rename_error) calls.rename = [&](const char*, const char*) { return Fail(c.rename_error); };
  if (c.named) calls.open_unnamed = [](const char*, mode_t) { return Fail(EOPNOTSUPP); };
  const std::string bytes = ReadBytes(ini_);
  const std::set<std::string> names = NamesIn(folder);
  const ini::ScopedSaveCalls injected(calls);
  EXPECT_EQ(SaveIni(module_, std::int16_t{7}, "Machine1", "ZaroMainPictureStatus", target), 0);
  close(other_writer);
  EXPECT_EQ(ReadBytes(ini_), bytes);
  EXPECT_EQ(NamesIn(folder), names);
  EXPECT_TRUE(dialogs_.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FailedSave,
    testing::Values(FailCase{"ShortWrite", 0}, FailCase{"DiskFull", ENOSPC},
                    FailCase{.name = "FailedFlush", .close_error = EIO},
                    FailCase{.name = "FailedFsync", .fsync_error = EIO},
                    FailCase{.name = "FailedRename", .rename_error = EIO},
                    FailCase{.name = "NamedFileFailedFsync", .fsync_error = EIO, .named = true},
                    FailCase{.name = "DiskFullInPlace", .write_error = ENOSPC, .second_name = true},
                    FailCase{.name = "AnotherWriterHoldsTheLock", .locked = true},
                    FailCase{.name = "FolderInItsPlace", .target = "dir.ini"},
                    FailCase{.name = "ThroughMissingFolder", .target = "missing/x.ini"},
                    FailCase{.name = "NoName", .target = "-"},
                    FailCase{.name = "Utf16BigEndian", .bytes = "\xFE\xFF\0[\0M\0]\0\n"s}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
