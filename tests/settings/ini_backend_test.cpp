#include "settings/ini_backend.h"

#include "support/fakes.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

mode_t ModeOf(const fs::path& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

class IniBackendTest : public testing::Test {
 protected:
  std::size_t EntriesInDir() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_.path()), {}));
  }

  TempDir dir_;
  std::string file_ = dir_ / "test.ini";
};

TEST_F(IniBackendTest, RoundTripsWindows1252NamesAndKeepsOtherBytes) {
  const std::string head = "\0\xFF junk\n[1031]\nCaption_CheckAuswurfAufTats\xE4"s;
  WriteBytes(file_, head + "chliche_=alt\n;x\n");
  ASSERT_TRUE(
      ini::WriteProfileString(file_, "1031", "CAPTION_CHECKAUSWURFAUFTATSÄCHLICHE_", "Größe"));
  EXPECT_EQ(ReadBytes(file_), head + "chliche_=Gr\xF6\xDF\x65\n;x\n");
  EXPECT_EQ(ini::ReadProfileString(file_, "1031", "Caption_CheckAuswurfAufTatsächliche_"), "Größe");

  // Nothing is cached: a change made by another program is seen at once.
  WriteBytes(file_, head + "chliche_=neu\n");
  EXPECT_EQ(ini::ReadProfileString(file_, "1031", "caption_checkauswurfauftatsächliche_"), "neu");
}

TEST_F(IniBackendTest, ReadsValuesLikeTheProfileFunctions) {
  WriteBytes(file_, "[S]\nlong=" + std::string(300, '\xE4') + "\nq= 'x y' \nn=\"0x10\"\nb=\"\"\n");
  std::string first_254;
  for (int i = 0; i < 254; ++i) first_254 += "ä";
  EXPECT_EQ(ini::ReadProfileString(file_, "S", "long"), first_254);
  EXPECT_EQ(ini::ReadProfileString(file_, "s", "Q"), "x y");
  EXPECT_EQ(ini::ReadProfileInt(file_, "S", "n", 7), 16);
  EXPECT_EQ(ini::ReadProfileInt(file_, "S", "b", 7), 7);
  EXPECT_EQ(ini::ReadProfileInt(file_, "S", "missing", -3), -3);
}

TEST_F(IniBackendTest, MissingFileReadsAsMissingAndStaysMissing) {
  EXPECT_EQ(ini::ReadProfileString(file_, "S", "k"), "");
  EXPECT_EQ(ini::ReadProfileInt(file_, "S", "k", 42), 42);
  EXPECT_EQ(EntriesInDir(), 0u);
}

TEST_F(IniBackendTest, NewFileGetsExactBytesAndUmaskedMode) {
  const mode_t old_mask = umask(027);
  const bool written = ini::WriteProfileString(file_, "S", "k", "v");
  umask(old_mask);
  ASSERT_TRUE(written);
  EXPECT_EQ(ReadBytes(file_), "[S]\r\nk=v\r\n");
  EXPECT_EQ(ModeOf(file_), 0640u);
  EXPECT_EQ(EntriesInDir(), 1u);
}

TEST_F(IniBackendTest, ReplacedFileKeepsItsPermissionBits) {
  WriteBytes(file_, "[S]\nk=1\n");
  ASSERT_EQ(chmod(file_.c_str(), 0604), 0);
  ASSERT_TRUE(ini::WriteProfileString(file_, "S", "k", "2"));
  EXPECT_EQ(ReadBytes(file_), "[S]\nk=2\n");
  EXPECT_EQ(ModeOf(file_), 0604u);
}

TEST_F(IniBackendTest, WritesThroughRelativeSymlink) {
  fs::create_directory(dir_.path() / "real");
  WriteBytes(dir_ / "real/target.ini", "[S]\nk=1\n");
  fs::create_symlink("real/target.ini", dir_.path() / "link.ini");
  ASSERT_TRUE(ini::WriteProfileString(dir_ / "link.ini", "S", "k", "2"));
  EXPECT_TRUE(fs::is_symlink(dir_.path() / "link.ini"));
  EXPECT_EQ(ReadBytes(dir_ / "real/target.ini"), "[S]\nk=2\n");
}

TEST_F(IniBackendTest, FailedWritesLeaveNothingBehind) {
  fs::create_directory(dir_.path() / "folder.ini");
  for (const std::string& name : {""s, dir_ / "missing/x.ini", dir_ / "folder.ini"}) {
    EXPECT_FALSE(ini::WriteProfileString(name, "S", "k", "v")) << name;
  }
  EXPECT_EQ(EntriesInDir(), 1u);
  EXPECT_TRUE(fs::is_empty(dir_.path() / "folder.ini"));
}

TEST_F(IniBackendTest, ReadOnlyFileInWritableFolderIsNotReplaced) {
  ASSERT_EQ(chmod(dir_.path().c_str(), 0777), 0);
  const std::string bytes = "[S]\nk=1\n";
  WriteBytes(file_, bytes);
  ASSERT_EQ(chmod(file_.c_str(), 0444), 0);
  const std::string other = dir_ / "other.ini";

  // Exit 0: refused while the folder itself was writable; 1: replaced anyway; 2: no control.
  auto attempt = [&] {
    if (!ini::WriteProfileString(other, "S", "k", "1")) return 2;
    return ini::WriteProfileString(file_, "S", "k", "2") ? 1 : 0;
  };
  int result = 0;
  if (geteuid() != 0) {
    result = attempt();
  } else {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
      _exit(attempt());
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    result = WEXITSTATUS(status);
    if (result == 3) GTEST_SKIP() << "cannot drop privileges";
  }
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ReadBytes(file_), bytes);
}

}  // namespace
