#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <optional>
#include <random>
#include <string>

#include "base/write_all.h"
#include "settings/ini_backend.h"
#include "settings/ini_backend_posix.h"
#include "settings/ini_posix_files.h"
#include "settings/ini_text.h"

namespace ini {
namespace {

using posix::DirName;
using posix::ReadResult;
using posix::ReadWholeFile;

SaveCalls& ActiveCalls() {
  static SaveCalls calls = SystemSaveCalls();
  return calls;
}

bool WriteAllTo(int fd, std::string_view bytes) {
  return WriteAll(bytes, [fd](const char* data, std::size_t size) {
    return ActiveCalls().write(fd, data, size);
  });
}

bool SyncFolder(const std::string& dir) {
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ActiveCalls().sync(fd) == 0;
  return close(fd) == 0 && synced;
}

// Our temporary files: ".ini_write." and six characters.
constexpr std::string_view kTempPrefix = ".ini_write.";
constexpr std::size_t kTempNameSize = kTempPrefix.size() + 6;

bool IsTempName(std::string_view name) {
  return name.size() == kTempNameSize && name.starts_with(kTempPrefix);
}

// Turns with the other writers of the folder. flock on the folder itself: it is never replaced
// (a lock on the file would be lost with the old file at each rename) and needs no lock file
// that would stay behind. The kernel drops the lock of a killed writer.
class FolderLock {
 public:
  enum class State { kHeld, kBusy, kUnavailable };

  explicit FolderLock(const std::string& dir)
      : fd_(open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ < 0) return;
    const auto deadline = std::chrono::steady_clock::now() + ActiveCalls().lock_wait;
    long pause_ns = 1'000'000;
    while (ActiveCalls().lock(fd_, LOCK_EX | LOCK_NB) != 0) {
      // NFS emulates flock with record locks, which a folder opened for reading cannot take:
      // saving there unlocked beats never saving.
      if (errno != EWOULDBLOCK && errno != EINTR) return;
      if (std::chrono::steady_clock::now() >= deadline) {
        state_ = State::kBusy;
        return;
      }
      const timespec pause{0, pause_ns};
      nanosleep(&pause, nullptr);
      pause_ns = std::min(pause_ns * 2, 20'000'000L);
    }
    state_ = State::kHeld;
  }
  ~FolderLock() {
    // Closing the last descriptor releases the lock.
    if (fd_ >= 0) static_cast<void>(close(fd_));
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  State state() const { return state_; }

  // While we hold the lock no save of ours is under way here, so every temporary file of ours
  // was left by one that was killed.
  void RemoveStaleTempFiles() const {
    const int list_fd = dup(fd_);
    if (list_fd < 0) return;
    DIR* dir = fdopendir(list_fd);
    if (dir == nullptr) {
      static_cast<void>(close(list_fd));
      return;
    }
    while (const dirent* item = readdir(dir)) {
      struct stat st {};
      if (IsTempName(item->d_name) && fstatat(fd_, item->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
          S_ISREG(st.st_mode)) {
        // One we cannot remove is no reason to refuse the save.
        static_cast<void>(unlinkat(fd_, item->d_name, 0));
      }
    }
    static_cast<void>(closedir(dir));
  }

 private:
  int fd_;
  State state_ = State::kUnavailable;
};

std::string RandomTempName(const std::string& dir) {
  static std::minstd_rand random(std::random_device{}());
  static constexpr std::string_view kLetters =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::string name = dir + "/" + std::string(kTempPrefix);
  for (int i = 0; i < 6; ++i) name += kLetters[random() % kLetters.size()];
  return name;
}

// kCannotCarry: the new file cannot be what the old one is (its owner, group or an attribute).
enum class Outcome { kDone, kFailed, kCannotCarry };

// A new file is made as any other, by the kernel's rules: the umask or the folder's default ACL.
Outcome FillTempFile(int fd, std::string_view bytes, const std::string& path,
                     const struct stat* old) {
  if (old != nullptr &&
      (fchown(fd, old->st_uid, old->st_gid) != 0 || !posix::CopyAttributes(path, fd) ||
       fchmod(fd, old->st_mode & 07777) != 0)) {
    // Owner first, since that clears the set-id bits; the mode last, since setting the ACL
    // changes the group's bits. Only root may give a file away, only a member set the group.
    return Outcome::kCannotCarry;
  }
  return WriteAllTo(fd, bytes) && ActiveCalls().sync(fd) == 0 ? Outcome::kDone : Outcome::kFailed;
}

// Gives the unnamed file behind `fd` a temporary name in `dir`; "" when it cannot (no /proc).
std::string NameUnnamedFile(int fd, const std::string& dir) {
  for (int attempt = 0; attempt < 10; ++attempt) {
    std::string temp = RandomTempName(dir);
    if (ActiveCalls().name_unnamed(fd, temp.c_str()) == 0) return temp;
    if (errno != EEXIST) break;
  }
  return {};
}

// The new content under the temporary name `temp` beside the target, complete and on disk;
// when that fails nothing is left behind. An unnamed file is named only just before the rename,
// so a save killed while writing leaves nothing at all.
Outcome WriteTempFile(const std::string& path, std::string_view bytes, const struct stat* old,
                      std::string& temp) {
  const std::string dir = DirName(path);
  // Nobody else may open a replacement before it is what the old file is.
  const mode_t mode = old == nullptr ? 0666 : 0600;
  const int unnamed = ActiveCalls().open_unnamed(dir.c_str(), mode);
  if (unnamed >= 0) {
    const Outcome filled = FillTempFile(unnamed, bytes, path, old);
    temp = filled == Outcome::kDone ? NameUnnamedFile(unnamed, dir) : std::string();
    const bool closed = ActiveCalls().close(unnamed) == 0;
    if (filled == Outcome::kDone && closed && !temp.empty()) return Outcome::kDone;
    if (!temp.empty()) static_cast<void>(unlink(temp.c_str()));
    if (filled != Outcome::kDone) return filled;
    if (!closed) return Outcome::kFailed;
    // Written but not nameable: the named way below still works.
  }
  int fd = -1;
  for (int attempt = 0; attempt < 10 && fd < 0; ++attempt) {
    temp = RandomTempName(dir);
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return Outcome::kFailed;
  const Outcome filled = FillTempFile(fd, bytes, path, old);
  const bool closed = ActiveCalls().close(fd) == 0;
  if (filled == Outcome::kDone && closed) return Outcome::kDone;
  static_cast<void>(unlink(temp.c_str()));
  return closed ? filled : Outcome::kFailed;
}

// Readers see either the old file or the new one, never a part of either.
Outcome ReplaceFile(const std::string& path, std::string_view bytes, const struct stat* old) {
  std::string temp;
  const Outcome written = WriteTempFile(path, bytes, old, temp);
  if (written != Outcome::kDone) return written;
  if (ActiveCalls().rename(temp.c_str(), path.c_str()) != 0) {
    // Already failing; a temporary file we cannot remove changes nothing about that.
    static_cast<void>(unlink(temp.c_str()));
    return Outcome::kFailed;
  }
  // Until the folder is synced the rename may not survive a power cut: not yet saved.
  return SyncFolder(DirName(path)) ? Outcome::kDone : Outcome::kFailed;
}

// For a file a new one cannot stand in for, as the platform's profile functions write: the new
// bytes over the old, then cut to length. A kill in the middle leaves a part; a failed write
// puts the old bytes back.
bool WriteInPlace(const std::string& path, std::string_view bytes, std::string_view old_bytes,
                  const struct stat& old) {
  const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st {};
  const bool same = fstat(fd, &st) == 0 && st.st_dev == old.st_dev && st.st_ino == old.st_ino;
  const bool written = same && WriteAllTo(fd, bytes) &&
                       ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 &&
                       ActiveCalls().sync(fd) == 0;
  if (same && !written) {
    // Around the seam: the old bytes need no block the file does not have already.
    off_t at = 0;
    static_cast<void>(WriteAll(old_bytes,
                               [fd, &at](const char* data, std::size_t size) {
                                 const ssize_t n = pwrite(fd, data, size, at);
                                 at += n > 0 ? n : 0;
                                 return n;
                               }) &&
                      ftruncate(fd, static_cast<off_t>(old_bytes.size())) == 0 && fsync(fd) == 0);
  }
  return ActiveCalls().close(fd) == 0 && written;
}

}  // namespace

SaveCalls SystemSaveCalls() {
  SaveCalls calls;
  calls.open_unnamed = [](const char* folder, mode_t mode) {
#ifdef O_TMPFILE
    return open(folder, O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
#else
    static_cast<void>(folder), static_cast<void>(mode);
    errno = EOPNOTSUPP;
    return -1;
#endif
  };
  calls.write = [](int fd, const char* data, std::size_t size) { return write(fd, data, size); };
  calls.sync = [](int fd) { return fsync(fd); };
  calls.close = [](int fd) { return close(fd); };
  calls.rename = [](const char* from, const char* to) { return rename(from, to); };
  calls.name_unnamed = [](int fd, const char* path) {
    const std::string proc_path = "/proc/self/fd/" + std::to_string(fd);
    return linkat(AT_FDCWD, proc_path.c_str(), AT_FDCWD, path, AT_SYMLINK_FOLLOW);
  };
  calls.lock = [](int fd, int operation) { return flock(fd, operation); };
  return calls;
}

ScopedSaveCalls::ScopedSaveCalls(SaveCalls calls) : previous_(std::move(ActiveCalls())) {
  ActiveCalls() = std::move(calls);
}

ScopedSaveCalls::~ScopedSaveCalls() {
  ActiveCalls() = std::move(previous_);
}

std::string ReadProfileString(const std::string& file_name, std::string_view section,
                              std::string_view entry) {
  std::string bytes;
  if (ReadWholeFile(file_name, bytes, nullptr) != ReadResult::kRead) return {};
  return ReadEntry(bytes, section, entry).value_or("");
}

std::int32_t ReadProfileInt(const std::string& file_name, std::string_view section,
                            std::string_view entry, std::int32_t fallback) {
  std::string bytes;
  if (ReadWholeFile(file_name, bytes, nullptr) != ReadResult::kRead) return fallback;
  const std::optional<std::string> value = ReadEntry(bytes, section, entry);
  if (!value || value->empty()) return fallback;
  return ParseProfileInt(*value);
}

bool WriteProfileString(const std::string& file_name, std::string_view section,
                        std::string_view entry, std::string_view value) {
  if (file_name.empty()) return false;
  std::string path;
  if (!posix::ResolveLinks(file_name, path)) return false;

  // Read, change and write under the lock, so that no other writer's change is lost between
  // our read and our write.
  const FolderLock lock(DirName(path));
  if (lock.state() == FolderLock::State::kBusy) return false;
  // Without the lock a temporary file may belong to a save still running.
  if (lock.state() == FolderLock::State::kHeld) lock.RemoveStaleTempFiles();

  std::string old_bytes;
  struct stat old {};
  const ReadResult found = ReadWholeFile(path, old_bytes, &old);
  if (found == ReadResult::kFailed) return false;
  const std::optional<std::string> new_bytes = WriteEntry(old_bytes, section, entry, value);
  if (!new_bytes) return false;
  if (found == ReadResult::kMissing)
    return ReplaceFile(path, *new_bytes, nullptr) == Outcome::kDone;
  if (*new_bytes == old_bytes) return true;
  // Renaming in a writable folder would override the file's own protection.
  if (access(path.c_str(), W_OK) != 0) return false;
  // A file of several names stays one file: replacing it would split them.
  if (old.st_nlink == 1) {
    const Outcome replaced = ReplaceFile(path, *new_bytes, &old);
    if (replaced != Outcome::kCannotCarry) return replaced == Outcome::kDone;
  }
  return WriteInPlace(path, *new_bytes, old_bytes, old);
}

}  // namespace ini
