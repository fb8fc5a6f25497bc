// Tests of INI saves in processes of their own: killed, racing, or as another user.
// SPDX-License-Identifier: MIT
#include "settings/ini_backend.h"

#include "settings/ini_backend_posix.h"
#include "support/fakes.h"
#include "support/posix_files.h"

#include <signal.h>  // NOLINT(modernize-deprecated-headers): POSIX kill(), not in <csignal>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using Names = std::set<std::string>;

// A writer saving in a loop is killed at random moments; the file must always be whole, and the
// next save clears what killed saves left.
class SaveUnderKill : public IniBackendTest, public testing::WithParamInterface<bool> {};

TEST_P(SaveUnderKill, LeavesTheOldOrTheNewFileAndNoLitter) {
  int unnamed = 0;
  ini::SaveCalls calls = ini::SystemSaveCalls();
  calls.open_unnamed = [&, open_unnamed = calls.open_unnamed](int dir, mode_t mode) {
    const int fd = GetParam() ? open_unnamed(dir, mode) : (errno = EOPNOTSUPP, -1);
    return unnamed += fd >= 0 ? 1 : 0, fd;
  };
  ini::ProfileWriter path_taken(calls);
  const std::string values[] = {"0", "22", "4444"};
  const auto file_with = [](const std::string& v) {
    return "[A]\r\nx=1\r\n[S]\r\nk=" + v + "\r\nafter=2\r\n;end";
  };
  WriteBytes(file_, file_with("0"));
  // Each kill falls after 0 to 3 of the writer's saves have ended, at a random moment of the
  // next: every state and every step of a save is met, however fast or busy this machine is.
  const auto start = std::chrono::steady_clock::now();
  for (const std::string& v : values) ASSERT_TRUE(path_taken.Write(file_, "S", "k", v));
  const auto save_time = (std::chrono::steady_clock::now() - start) / 3;
  ASSERT_EQ(unnamed > 0, GetParam()) << "the saves did not take the way under test";

  std::mt19937 random(1031);  // NOLINT(cert-msc51-cpp): the same moments on every run
  std::set<std::string> seen;
  for (int kill = 0; kill < 500; ++kill) {
    int started[2];
    ASSERT_EQ(pipe(started), 0);
    const pid_t writer = fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
      static_cast<void>(write(started[1], "!", 1));
      for (std::size_t i = 1;; ++i) {
        path_taken.Write(file_, "S", "k", values[i % 3]);
        static_cast<void>(write(started[1], "!", 1));
      }
    }
    // The clock starts when the writer does (starting a process may take longer than a save),
    // then waits for as many saves to end.
    const std::uint_fast32_t saves = random() % 4;
    char ignored;
    for (std::uint_fast32_t i = 0; i <= saves; ++i)
      static_cast<void>(read(started[0], &ignored, 1));
    std::this_thread::sleep_for(save_time * (random() % 1000) / 1000);
    ::kill(writer, SIGKILL);
    waitpid(writer, nullptr, 0);
    close(started[0]);
    close(started[1]);
    const std::string now = ReadBytes(file_);
    ASSERT_TRUE(now == file_with("0") || now == file_with("22") || now == file_with("4444"))
        << "after kill " << kill << ": " << now;
    seen.insert(now);
  }
  EXPECT_EQ(seen.size(), 3U) << "the kills never fell between saves";
  ASSERT_TRUE(path_taken.Write(file_, "S", "k", "done"));
  EXPECT_EQ(NamesIn(dir_.path()), Names{"test.ini"});
}

INSTANTIATE_TEST_SUITE_P(TempFile, SaveUnderKill, testing::Bool(),
                         [](const auto& row) { return row.param ? "Unnamed" : "Named"; });

// Two processes save 300 entries each into one file: through one name, and through two names in
// two folders (hard links), which no one folder lock covers. A lost update is a missing line.
TEST_F(IniBackendTest, TwoWritingProcessesBothKeepEveryEntry) {
  for (const std::string second : {"a/t.ini", "b/t.ini"}) {
    const std::string names[] = {dir_ / "a/t.ini", dir_ / second};
    fs::remove_all(dir_ / "a"), fs::remove_all(dir_ / "b");
    fs::create_directory(dir_ / "a"), fs::create_directory(dir_ / "b");
    // One name: the first save makes the file.
    if (names[0] != names[1]) WriteBytes(names[0], ""), fs::create_hard_link(names[0], names[1]);
    pid_t writers[2];
    for (int w = 0; w < 2; ++w) {
      if ((writers[w] = fork()) == 0) {
        bool written = true;
        for (int i = 0; i < 300; ++i) {
          written &= ini::WriteProfileString(names[w], "S", std::to_string(1000 * w + i), "v");
        }
        _exit(written ? 0 : 1);
      }
    }
    for (const pid_t writer : writers) {
      int status = -1;
      EXPECT_EQ(waitpid(writer, &status, 0), writer);
      EXPECT_EQ(status, 0) << "a write failed through " << second;
    }
    const std::string bytes = ReadBytes(names[0]);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 601) << second;
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\0'), 0) << second;
  }
}

// Saves made by another process, as another user where it matters (root ignores permissions, so
// as root the save runs as nobody): refused where the file system says no (a read-only file, a
// real full disk on a small tmpfs); written in place where the file can be written but not
// replaced: in a folder read-only or closed to listing, of an owner and group the writer cannot
// give a new file, or bind-mounted over its name (a single-file volume, which no rename replaces).
enum class Mount { kNone, kSmallTmpfs, kFileOverTheName };

struct OtherWriter {
  const char* name;
  mode_t file_mode, folder_mode;
  int status;                  // of ini_save_tool: 0 written, 3 refused
  Mount mount = Mount::kNone;  // the save then runs as root
  bool needs_root = false;
};

void PrintTo(const OtherWriter& c, std::ostream* os) {
  *os << c.name;
}

class SaveByAnotherProcess : public IniBackendTest,
                             public testing::WithParamInterface<OtherWriter> {};

TEST_P(SaveByAnotherProcess, IsRefusedOrKeepsWhatTheFileIs) {
  const OtherWriter& c = GetParam();
  const bool root = geteuid() == 0;
  if ((c.mount != Mount::kNone || c.needs_root) && !root) {
    GTEST_SKIP() << "mounts and files of another owner need root";
  }
  const std::string folder = dir_ / "plant";
  const std::string file = folder + "/test.ini";
  fs::create_directory(folder);
  // Undone on every way out of the test.
  struct Unmount {
    std::string at;
    ~Unmount() { umount2(at.c_str(), MNT_DETACH); }
  } unmount;
  if (c.mount == Mount::kSmallTmpfs &&
      mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=16k") == 0) {
    unmount.at = folder;
  }
  if (c.mount == Mount::kFileOverTheName) {
    WriteBytes(file, ""), WriteBytes(dir_ / "volume.ini", "");
    if (mount((dir_ / "volume.ini").c_str(), file.c_str(), nullptr, MS_BIND, nullptr) == 0) {
      unmount.at = file;
    }
  }
  if (c.mount != Mount::kNone && unmount.at.empty()) GTEST_SKIP() << "no mount here";
  WriteBytes(file, "[S]\nk=1\n");
  // The tool where nobody can reach it, wherever the build lies.
  const std::string tool = dir_ / "ini_save_tool";
  fs::copy_file(INI_SAVE_TOOL, tool);
  ASSERT_EQ(chmod(dir_.path().c_str(), 0755), 0);
  ASSERT_EQ(chmod(file.c_str(), c.file_mode), 0);
  ASSERT_EQ(chmod(folder.c_str(), c.folder_mode), 0);
  const struct stat before = StatOf(file);
  const std::string value(c.mount == Mount::kSmallTmpfs ? 100'000 : 1, 'x');
  const std::string as_nobody = root && c.mount == Mount::kNone ? "runuser -u nobody -- " : "";
  const int status = std::system(
      ("timeout -s KILL 60 " + as_nobody + tool + " " + file + " S k " + value).c_str());
  chmod(folder.c_str(), 0755);
  const struct stat after = StatOf(file);
  ASSERT_TRUE(WIFEXITED(status)) << "the save did not end by itself";
  EXPECT_EQ(WEXITSTATUS(status), c.status);
  EXPECT_EQ(ReadBytes(file), c.status == 0 ? "[S]\nk=x\n" : "[S]\nk=1\n");
  EXPECT_EQ(NamesIn(folder), Names{"test.ini"});
  EXPECT_EQ(std::tie(after.st_ino, after.st_uid, after.st_gid),
            std::tie(before.st_ino, before.st_uid, before.st_gid));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SaveByAnotherProcess,
    testing::Values(OtherWriter{"ReadOnlyFile", 0444, 0777, 3},
                    OtherWriter{"WritableFileInReadOnlyFolder", 0666, 0555, 0},
                    OtherWriter{"WritableFileInUnlistableFolder", 0666, 0333, 0},
                    OtherWriter{"FullDisk", 0666, 0777, 3, Mount::kSmallTmpfs},
                    OtherWriter{"GroupItCannotKeep", 0666, 0777, 0, Mount::kNone, true},
                    OtherWriter{"BindMountedFile", 0666, 0777, 0, Mount::kFileOverTheName}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
