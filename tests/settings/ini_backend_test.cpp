// Tests of the POSIX INI backend: modes, links, attributes and failed saves.
// SPDX-License-Identifier: MIT
#include "settings/ini_backend.h"

#include "settings/ini_backend_posix.h"
#include "support/fakes.h"
#include "support/posix_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

TEST_F(IniBackendTest, NewFileIsUmaskedAndAReplacedOneKeepsItsMode) {
  const mode_t old_mask = umask(027);
  const bool written = ini::WriteProfileString(file_, "S", "k", "v");
  umask(old_mask);
  ASSERT_TRUE(written);
  EXPECT_EQ(StatOf(file_).st_mode & 07777, 0640U);

  ASSERT_EQ(chmod(file_.c_str(), 0604), 0);
  ASSERT_TRUE(ini::WriteProfileString(file_, "S", "k", "2"));
  EXPECT_EQ(StatOf(file_).st_mode & 07777, 0604U);
}

// A link is followed when it belongs to the writer, to root, or to its folder's owner and leads
// to what that owner owns; never to no file. The link `plant/link.ini` leads to
// `real/target.ini`, or the folder link `plant/sub` to `real`. Rows of other users need root.
TEST_F(IniBackendTest, FollowsOnlyLinksNobodyElseCouldAimTheSaveWith) {
  struct Row {
    const char* name;
    uid_t link, folder, target;  // owners; kMe: the test's own user
    bool followed;
    bool missing = false, folder_link = false;
  };
  constexpr auto kMe = static_cast<uid_t>(-1);
  constexpr uid_t kNobody = 65534;
  const Row rows[] = {
      {"OwnLinkToAFile", kMe, kMe, kMe, true},
      {"OwnLinkToNoFile", kMe, kMe, kMe, false, true},
      {"OtherUsersLinkInAGroupsFolder", kNobody, 0, 0, false},
      {"FolderOwnersLinkToItsOwnFile", kNobody, kNobody, kNobody, true},
      {"FolderOwnersLinkToRootsFile", kNobody, kNobody, 0, false},
      {"FolderOwnersFolderLinkToRootsFolder", kNobody, kNobody, 0, false, false, true},
      {"RootsLinkInAnotherUsersFolder", 0, kNobody, 0, true}};
  bool skipped = false;
  for (const Row& row : rows) {
    if (geteuid() != 0 && row.link != kMe) {
      skipped = true;
      continue;
    }
    SCOPED_TRACE(row.name);
    const auto own = [](const std::string& path, uid_t owner) {
      EXPECT_TRUE(owner == kMe || lchown(path.c_str(), owner, owner) == 0);
    };
    fs::remove_all(dir_.path() / "plant");
    fs::remove_all(dir_.path() / "real");
    const std::string plant = dir_ / "plant";
    const std::string real = dir_ / "real";
    const std::string target = real + "/target.ini";
    fs::create_directories(plant);
    fs::create_directories(real);
    if (!row.missing) WriteBytes(target, "[S]\r\nk=1\r\n");
    if (!row.missing) own(target, row.target);
    own(real, row.folder_link ? row.target : kMe);
    const std::string link = plant + (row.folder_link ? "/sub" : "/link.ini");
    fs::create_symlink(row.folder_link ? "../real" : "../real/target.ini", link);
    own(link, row.link);
    own(plant, row.folder);
    const std::set<std::string> names = NamesIn(real);
    const std::string path = row.folder_link ? link + "/target.ini" : link;
    EXPECT_EQ(ini::WriteProfileString(path, "S", "k", "2"), row.followed);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(NamesIn(real), names);
    EXPECT_EQ(ReadBytes(target), row.missing    ? ""
                                 : row.followed ? "[S]\r\nk=2\r\n"
                                                : "[S]\r\nk=1\r\n");
  }
  if (skipped) GTEST_SKIP() << "the rows of other users' links need root";
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

// Each save of the run finds the lock held for 400 ms, then free: two such waits leave less of
// the run's second than a third needs.
TEST_F(IniBackendTest, EveryWaitOfARunComesOffOneBudget) {
  ini::SaveCalls calls = ini::SystemSaveCalls();
  calls.lock_wait = std::chrono::seconds(1);
  std::optional<std::chrono::steady_clock::time_point> since;
  calls.lock = [&, lock = calls.lock](int fd) {
    const auto now = std::chrono::steady_clock::now();
    if (!since) since = now;
    if (now - *since < std::chrono::milliseconds(400)) return errno = EWOULDBLOCK, -1;
    since.reset();
    return lock(fd);
  };
  WriteBytes(file_, "[S]\r\nk=0\r\n");
  ini::ProfileWriter writer(calls);
  EXPECT_TRUE(writer.Write(file_, "S", "k", "1"));
  EXPECT_TRUE(writer.Write(file_, "S", "k", "2"));
  EXPECT_FALSE(writer.Write(file_, "S", "k", "3"));
  EXPECT_EQ(ReadBytes(file_), "[S]\r\nk=2\r\n");
}

// What a save hands the disk, in order, through the calls tests can replace (a write with the
// offset it starts at). Temporary files of killed saves go with the next save, but only under the
// folder lock: without it (NFS) one may belong to a save still running.
TEST_F(IniBackendTest, ASaveCountsOnlyOnceItIsOnDisk) {
  struct Row {
    const char* name;
    std::string calls;
    bool written = true, no_lock = false, no_proc = false, fail_folder_sync = false;
    bool second_name = false;
    int rename_error = 0;
    std::string value = "2";
  };
  const std::string replaced = "lock write@0 sync name close rename syncdir ";
  const Row rows[] = {
      {.name = "Replaced", .calls = replaced},
      {.name = "NoLockForTheFolder", .calls = replaced, .no_lock = true},
      {.name = "NoProcToNameTheUnnamedFile",
       .calls = "lock write@0 sync name close write@0 sync close rename syncdir ",
       .no_proc = true},
      {.name = "FailedFolderSync", .calls = replaced, .written = false, .fail_folder_sync = true},
      // Only the bytes from the first that differs.
      {.name = "SecondNameWrittenInPlace",
       .calls = "lock write@6 sync close ",
       .second_name = true},
      {.name = "BusyNameWrittenInPlace",
       .calls = "lock write@0 sync name close rename write@6 sync close ",
       .rename_error = EBUSY},
      {.name = "NothingToChangeTakesNoLock", .calls = "", .value = "1"}};
  for (const Row& row : rows) {
    std::string calls;
    ini::SaveCalls c = ini::SystemSaveCalls();
    const auto record = [&](const std::string& call) { return calls += call + ' ', 0; };
    c.lock = [&, lock = c.lock](int fd) {
      return record("lock") + (row.no_lock ? (errno = ENOLCK, -1) : lock(fd));
    };
    c.lock_folder = [&, lock = c.lock_folder](int dir) {
      return row.no_lock ? (errno = ENOLCK, -1) : lock(dir);
    };
    c.write = [&](int fd, const char* data, std::size_t size) {
      return record("write@" + std::to_string(lseek(fd, 0, SEEK_CUR))) + write(fd, data, size);
    };
    c.sync = [&](int fd) {
      const bool folder = S_ISDIR(StatOf("/proc/self/fd/" + std::to_string(fd)).st_mode);
      return record(folder ? "syncdir" : "sync") +
             (folder && row.fail_folder_sync ? (errno = EIO, -1) : fsync(fd));
    };
    c.name_unnamed = [&, name = c.name_unnamed](int fd, int dir, const char* path) {
      return record("name") + (row.no_proc ? (errno = ENOENT, -1) : name(fd, dir, path));
    };
    c.close = [&](int fd) { return record("close") + close(fd); };
    c.rename = [&](int dir, const char* from, const char* to) {
      return record("rename") + (row.rename_error != 0 ? (errno = row.rename_error, -1)
                                                       : renameat(dir, from, dir, to));
    };
    fs::remove(dir_ / "mirror.ini");
    WriteBytes(file_, "[S]\nk=1\n");
    WriteBytes(dir_ / ".ini_write.aB3xY9", "left by a killed save");
    if (row.second_name) fs::create_hard_link(file_, dir_ / "mirror.ini");
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ini::ProfileWriter(c).Write(file_, "S", "k", row.value), row.written);
    EXPECT_EQ(calls, row.calls);
    EXPECT_EQ(ReadBytes(row.second_name ? dir_ / "mirror.ini" : file_),
              "[S]\nk=" + row.value + "\n");
    EXPECT_EQ(NamesIn(dir_.path()).size(), 1U + row.second_name + row.no_lock + calls.empty());
  }
}

// An ACL entry, a user attribute, inode flags and the group's bits survive a replacement; a new
// file gets what any file made there gets (the folder's default ACL, its mask from mode 0666), a
// replaced one made before that ACL does not. A tmpfs /tmp keeps no inode flags: the folder lies
// in the build tree, on a disk.
TEST(IniBackendAttributes, ASaveKeepsTheFilesAttributes) {
  for (const char* tool : {"setfacl", "getfacl", "setfattr", "getfattr", "chattr", "lsattr"}) {
    if (std::system(("command -v " + std::string(tool) + " >/dev/null").c_str()) != 0) {
      GTEST_SKIP() << "no " << tool << " (Debian packages acl, attr, e2fsprogs)";
    }
  }
  const TempDir dir(ZARO_TEST_SCRATCH);
  const std::string file = dir / "test.ini";
  WriteBytes(file, "[S]\nk=1\n");
  ASSERT_EQ(chmod(file.c_str(), 0640), 0);
  const std::string shared = dir / "shared";
  const std::string older = shared + "/older.ini";
  fs::create_directory(shared);
  WriteBytes(older, "[S]\nk=1\n");
  const std::string set = "setfacl -m u:nobody:rw " + file + " && setfattr -n user.plant -v a " +
                          file + " && chattr +d +A +S " + file + " && setfacl -d -m u:nobody:rw " +
                          shared + " && touch " + shared + "/touched 2>/dev/null";
  if (std::system(set.c_str()) != 0) GTEST_SKIP() << "this file system takes no ACL or flag";
  const auto attributes = [&](const std::string& path) {
    const std::string list = "{ getfacl -p " + path + " && getfattr -d -m - " + path +
                             " && lsattr " + path + "; } 2>/dev/null | sed s,touched,new.ini, >" +
                             (dir / "attributes.txt");
    return std::system(list.c_str()), ReadBytes(dir / "attributes.txt");
  };
  const std::string before = attributes(file);
  const ino_t inode = StatOf(file).st_ino;
  ASSERT_TRUE(ini::WriteProfileString(file, "S", "k", "2"));
  EXPECT_NE(StatOf(file).st_ino, inode) << "not replaced";
  EXPECT_EQ(attributes(file), before);
  ASSERT_TRUE(ini::WriteProfileString(shared + "/new.ini", "S", "k", "1"));
  EXPECT_EQ(attributes(shared + "/new.ini"), attributes(shared + "/touched"));
  const std::string plain = attributes(older);
  ASSERT_TRUE(ini::WriteProfileString(older, "S", "k", "2"));
  EXPECT_EQ(attributes(older), plain);
}

// All that a user who may only read the file and its folder can lock: an flock on either, a read
// lock on the file. None holds a save up, of this file or a new one: no time is left to wait.
TEST_F(IniBackendTest, ALockThatTakesOnlyReadingHoldsNoSaveUp) {
  WriteBytes(file_, "[S]\nk=1\n");
  const int folder = open(dir_.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const int file = open(file_.c_str(), O_RDONLY | O_CLOEXEC);
  const int other = open(file_.c_str(), O_RDONLY | O_CLOEXEC);
  struct flock read_lock {};
  read_lock.l_type = F_RDLCK;
  ASSERT_EQ(flock(folder, LOCK_EX) | flock(file, LOCK_EX) | fcntl(other, F_OFD_SETLK, &read_lock),
            0);
  ini::SaveCalls calls = ini::SystemSaveCalls();
  calls.lock_wait = std::chrono::steady_clock::duration::zero();
  EXPECT_TRUE(ini::ProfileWriter(calls).Write(file_, "S", "k", "2"));
  EXPECT_TRUE(ini::ProfileWriter(calls).Write(dir_ / "new.ini", "S", "k", "2"));
  close(folder), close(file), close(other);
  EXPECT_EQ(ReadBytes(file_), "[S]\nk=2\n");
}

// A save that fails at one step.
struct FailCase {
  const char* name;
  int write_error = -1;  // the second write(2) fails with it (0: takes nothing) after the first
                         // took all but the last byte
  int fsync_error = 0, close_error = 0, rename_error = 0;
  bool named = false;        // no unnamed file: the named fallback
  bool second_name = false;  // another name of the file makes the save write in place
  bool locked = false;       // another writer holds the folder's lock
  bool swapped = false;      // the name becomes a link to another file just before the lock
  const char* target = "";   // instead of the file; "-" for no name at all
  std::string bytes = "[Machine1]\r\nZaroMainPictureStatus=1\r\n";  // the file's
};

void PrintTo(const FailCase& c, std::ostream* os) {
  *os << c.name;
}

class FailedSave : public IniBackendTest, public testing::WithParamInterface<FailCase> {};

TEST_P(FailedSave, ReturnsZeroAndChangesNothing) {
  const FailCase& c = GetParam();
  const fs::path folder = dir_.path();
  const std::string target = *c.target == '-'    ? ""
                             : *c.target != '\0' ? (folder / c.target).string()
                                                 : file_;
  if (std::string(c.target) == "dir.ini") fs::create_directory(target);
  WriteBytes(file_, c.bytes);
  if (c.second_name) fs::create_hard_link(file_, folder / "mirror.ini");
  // The temporary file may be one of the other writer's save, still running.
  if (c.locked) WriteBytes(folder / ".ini_write.Xy12z9", "");
  const int other_writer = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const int other_file = open(file_.c_str(), O_RDWR | O_CLOEXEC);
  struct flock write_lock {};
  write_lock.l_type = F_WRLCK;
  if (c.locked) flock(other_writer, LOCK_EX), fcntl(other_file, F_OFD_SETLK, &write_lock);
  ini::SaveCalls calls = ini::SystemSaveCalls();
  if (c.swapped) {
    WriteBytes(folder / "other.ini", c.bytes);
    // Between the first open and the reopen: when the folder's lock is tried.
    calls.lock_folder = [&, lock = calls.lock_folder](int dir) {
      if (fs::is_regular_file(fs::symlink_status(file_))) {
        fs::remove(file_);
        fs::create_symlink("other.ini", file_);
      }
      return lock(dir);
    };
  }
  calls.lock_wait = std::chrono::milliseconds(50);
  if (c.write_error >= 0) {
    calls.write = [&, first = true](int fd, const char* data, std::size_t size) mutable {
      return std::exchange(first, false) ? write(fd, data, size - 1)
             : c.write_error != 0        ? (errno = c.write_error, -1)
                                         : 0;
    };
  }
  if (c.fsync_error != 0) calls.sync = [&](int) { return errno = c.fsync_error, -1; };
  if (c.close_error != 0)
    calls.close = [&](int fd) { return close(fd), errno = c.close_error, -1; };
  if (c.rename_error != 0)
    calls.rename = [&](int, const char*, const char*) { return errno = c.rename_error, -1; };
  if (c.named) calls.open_unnamed = [](int, mode_t) { return errno = EOPNOTSUPP, -1; };
  const std::string bytes = ReadBytes(file_);
  const std::set<std::string> names = NamesIn(folder);
  EXPECT_FALSE(ini::ProfileWriter(calls).Write(target, "Machine1", "ZaroMainPictureStatus", "7"));
  close(other_writer), close(other_file);
  EXPECT_EQ(ReadBytes(file_), bytes);
  EXPECT_EQ(NamesIn(folder), names);
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
                    FailCase{.name = "NameSwappedForALink", .swapped = true},
                    FailCase{.name = "FolderInItsPlace", .target = "dir.ini"},
                    FailCase{.name = "ThroughMissingFolder", .target = "missing/x.ini"},
                    FailCase{.name = "NoName", .target = "-"},
                    FailCase{.name = "Utf16BigEndian", .bytes = "\xFE\xFF\0[\0M\0]\0\n"s}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
