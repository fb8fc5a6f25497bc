#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>

#include "base/codepage.h"
#include "settings/ini_backend.h"
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

std::optional<std::string> ReadValue(const std::string& file_name, std::string_view section,
                                     std::string_view entry) {
  std::string bytes;
  if (ReadWholeFile(file_name, bytes, nullptr) != ReadResult::kRead) return std::nullopt;
  std::optional<std::string> value =
      FindValue(bytes, text::Utf8ToWindows1252(section), text::Utf8ToWindows1252(entry));
  if (value && value->size() > kMaxValueLength) value->resize(kMaxValueLength);
  return value;
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

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
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

// Readers see either the old file or the new one, never a part of either.
bool ReplaceFile(const std::string& path, std::string_view bytes, const struct stat* old) {
  const std::string dir = DirName(path);
  std::string temp = dir + "/.ini_write.XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = fcntl(fd, F_SETFD, FD_CLOEXEC) == 0 && SetOwnerAndMode(fd, old) &&
            WriteAll(fd, bytes) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    // Already failing; a temporary file we cannot remove changes nothing about that.
    static_cast<void>(unlink(temp.c_str()));
    return false;
  }
  // Best effort: the rename has happened and cannot be taken back, so the write stands.
  static_cast<void>(SyncFolder(dir));
  return true;
}

}  // namespace

std::string ReadProfileString(const std::string& file_name, std::string_view section,
                              std::string_view entry) {
  return text::Windows1252ToUtf8(ReadValue(file_name, section, entry).value_or(""));
}

std::int32_t ReadProfileInt(const std::string& file_name, std::string_view section,
                            std::string_view entry, std::int32_t fallback) {
  const std::optional<std::string> value = ReadValue(file_name, section, entry);
  if (!value || value->empty()) return fallback;
  return ParseProfileInt(*value);
}

bool WriteProfileString(const std::string& file_name, std::string_view section,
                        std::string_view entry, std::string_view value) {
  if (file_name.empty()) return false;
  std::string path;
  if (!ResolveLinks(file_name, path)) return false;

  std::string old_bytes;
  struct stat old {};
  const ReadResult found = ReadWholeFile(path, old_bytes, &old);
  if (found == ReadResult::kFailed) return false;
  // Renaming in a writable folder would override the file's own protection.
  if (found == ReadResult::kRead && access(path.c_str(), W_OK) != 0) return false;

  const std::string new_bytes =
      RewriteEntry(old_bytes, text::Utf8ToWindows1252(section), text::Utf8ToWindows1252(entry),
                   text::Utf8ToWindows1252(value));
  return ReplaceFile(path, new_bytes, found == ReadResult::kRead ? &old : nullptr);
}

}  // namespace ini
