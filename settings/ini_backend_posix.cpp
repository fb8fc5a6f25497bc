#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <random>
#include <string>

#include "settings/ini_backend.h"
#include "settings/ini_backend_posix.h"
#include "settings/ini_text.h"

namespace ini {
namespace {

enum class ReadResult { kRead, kMissing, kFailed };

bool ReadAll(int fd, std::size_t size_hint, std::string& bytes) {
  // One spare byte so that a file read whole is recognised without growing the buffer.
  bytes.resize(size_hint + 1);
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) bytes.resize(bytes.size() * 2);
    const ssize_t n = read(fd, bytes.data() + used, bytes.size() - used);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
  }
  bytes.resize(used);
  return true;
}

// Only regular files are read: a FIFO or a device in the file's place must not stall or
// disturb us, hence the stat before open and O_NONBLOCK.
ReadResult ReadWholeFile(const std::string& path, std::string& bytes, struct stat* info) {
  bytes.clear();
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    return errno == ENOENT ? ReadResult::kMissing : ReadResult::kFailed;
  }
  if (!S_ISREG(st.st_mode)) return ReadResult::kFailed;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno == ENOENT ? ReadResult::kMissing : ReadResult::kFailed;
  const bool read_ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                       ReadAll(fd, static_cast<std::size_t>(st.st_size), bytes);
  const bool closed = close(fd) == 0;
  if (!read_ok || !closed) return ReadResult::kFailed;
  if (info != nullptr) *info = st;
  return ReadResult::kRead;
}

std::string DirName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Follows symbolic links so that the link stays a link and the file it names gets the new
// bytes. A dangling link names the file to create.
bool ResolveLinks(const std::string& file_name, std::string& path) {
  path = file_name;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return errno == ENOENT;
    if (!S_ISLNK(st.st_mode)) return true;
    std::string target(256, '\0');
    for (;;) {
      const ssize_t n = readlink(path.c_str(), target.data(), target.size());
      if (n < 0) return false;
      if (static_cast<std::size_t>(n) < target.size()) {
        target.resize(static_cast<std::size_t>(n));
        break;
      }
      target.resize(target.size() * 2);
    }
    if (target.empty()) return false;
    path = target.front() == '/' ? target : DirName(path) + "/" + target;
  }
  return false;
}

mode_t CurrentUmask() {
#ifdef __linux__
  // umask() can only be read by setting it, which races with files other threads create.
  std::string status;
  if (ReadWholeFile("/proc/self/status", status, nullptr) == ReadResult::kRead) {
    const std::size_t at = status.find("\nUmask:");
    if (at != std::string::npos) {
      char* end = nullptr;
      const unsigned long mask = std::strtoul(status.c_str() + at + 7, &end, 8);
      if (end != status.c_str() + at + 7) return static_cast<mode_t>(mask & 0777);
    }
  }
#endif
  const mode_t mask = umask(0);
  static_cast<void>(umask(mask));  // gives back the 0 just set
  return mask;
}

bool SetOwnerAndMode(int fd, const struct stat* old) {
  if (old == nullptr) return fchmod(fd, 0666 & ~CurrentUmask()) == 0;
  // Owner first: changing it clears the set-id bits. Only root may give a file away, and
  // only a member may set the group; short of that the file becomes ours, as any editor does.
  if (fchown(fd, old->st_uid, old->st_gid) != 0) {
    if (errno != EPERM) return false;
    if (fchown(fd, static_cast<uid_t>(-1), old->st_gid) != 0 && errno != EPERM) return false;
  }
  return fchmod(fd, old->st_mode & 07777) == 0;
}

SaveCalls& ActiveCalls() {
  static SaveCalls calls = SystemSaveCalls();
  return calls;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ActiveCalls().write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool SyncFolder(const std::string& dir) {
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = fsync(fd) == 0;
  return close(fd) == 0 && synced;
}

// Our temporary files: ".ini_write." and six characters, as mkstemp names them.
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
    while (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
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

bool FillTempFile(int fd, std::string_view bytes, const struct stat* old) {
  return SetOwnerAndMode(fd, old) && WriteAll(fd, bytes) && ActiveCalls().sync(fd) == 0;
}

// Gives the unnamed file behind `fd` a temporary name in `dir`; "" when it cannot (no /proc).
std::string NameUnnamedFile(int fd, const std::string& dir) {
  const std::string proc_path = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < 10; ++attempt) {
    std::string temp = RandomTempName(dir);
    if (linkat(AT_FDCWD, proc_path.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      return temp;
    }
    if (errno != EEXIST) break;
  }
  return {};
}

// The new content under a temporary name beside the target, complete and on disk; "" when that
// failed, and then nothing is left behind. An unnamed file is named only just before the rename,
// so a save killed while writing leaves nothing at all.
std::string WriteTempFile(const std::string& dir, std::string_view bytes, const struct stat* old) {
  const int unnamed = ActiveCalls().open_unnamed(dir.c_str(), 0600);
  if (unnamed >= 0) {
    const bool filled = FillTempFile(unnamed, bytes, old);
    const std::string temp = filled ? NameUnnamedFile(unnamed, dir) : std::string();
    const bool closed = ActiveCalls().close(unnamed) == 0;
    if (filled && closed && !temp.empty()) return temp;
    if (!temp.empty()) static_cast<void>(unlink(temp.c_str()));
    if (!filled || !closed) return {};
    // Written but not nameable: the named way below still works.
  }
  std::string temp = dir + "/" + std::string(kTempPrefix) + "XXXXXX";
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return {};
  const bool filled = FillTempFile(fd, bytes, old);
  if (ActiveCalls().close(fd) != 0 || !filled) {
    static_cast<void>(unlink(temp.c_str()));
    return {};
  }
  return temp;
}

// Readers see either the old file or the new one, never a part of either.
bool ReplaceFile(const std::string& path, std::string_view bytes, const struct stat* old) {
  const std::string dir = DirName(path);
  const std::string temp = WriteTempFile(dir, bytes, old);
  if (temp.empty()) return false;
  if (ActiveCalls().rename(temp.c_str(), path.c_str()) != 0) {
    // Already failing; a temporary file we cannot remove changes nothing about that.
    static_cast<void>(unlink(temp.c_str()));
    return false;
  }
  // Best effort: the rename has happened and cannot be taken back, so the write stands.
  static_cast<void>(SyncFolder(dir));
  return true;
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
  if (!ResolveLinks(file_name, path)) return false;

  // Read, change and replace under the lock, so that no other writer's change is lost between
  // our read and our rename.
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
  if (found == ReadResult::kRead && *new_bytes == old_bytes) return true;
  // Renaming in a writable folder would override the file's own protection.
  if (found == ReadResult::kRead && access(path.c_str(), W_OK) != 0) return false;
  return ReplaceFile(path, *new_bytes, found == ReadResult::kRead ? &old : nullptr);
}

}  // namespace ini
