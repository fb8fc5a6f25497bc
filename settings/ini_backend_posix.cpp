// Profile-file reads and safe writes of INI entries on Linux.
// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <utility>

#include "base/write_all.h"
#include "errors/error.h"
#include "settings/ini_backend.h"
#include "settings/ini_backend_posix.h"
#include "settings/ini_file_text.h"
#include "settings/ini_posix_files.h"
#include "settings/ini_posix_in_place.h"
#include "settings/ini_posix_lock.h"
#include "settings/ini_posix_read_cache.h"
#include "settings/ini_text.h"

namespace ini {
namespace {

bool WriteAllTo(SaveCalls& calls, int fd, std::string_view bytes) {
  return WriteAll(bytes, [&calls, fd](const char* data, std::size_t size) {
    return calls.write(fd, data, size);
  });
}

std::string RandomTempName() {
  static std::minstd_rand random(std::random_device{}());
  static constexpr std::string_view kLetters =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::string name(posix::kTempPrefix);
  while (name.size() < posix::kTempNameSize) name += kLetters[random() % kLetters.size()];
  return name;
}

// kInPlace: the new file cannot be what the old one is (its owner, group, an attribute or a
// flag), or the folder takes no new file or rename there: the old one is written in place.
// kTaken: another save made the missing file meanwhile.
enum class Outcome { kDone, kFailed, kInPlace, kTaken };

// Saves of other processes that each replace the file between our open and our lock; one turn is
// enough unless many saves run at once.
constexpr int kTurns = 100;

// Why a new file could not be made or renamed. A read-only file system refuses in place too.
Outcome Refused(int error) {
  return error == EACCES || error == EPERM || error == EBUSY || error == EXDEV ? Outcome::kInPlace
                                                                               : Outcome::kFailed;
}

// A new file is made as any other, by the kernel's rules: the umask or the folder's default ACL.
// A replacement gets what the old file is: flags first, on the empty file; then the owner, since
// that clears the set-id bits; the mode last, since setting the ACL changes the group's bits.
// Only root may give a file away, only a member set the group.
Outcome FillTempFile(SaveCalls& calls, int fd, std::string_view bytes, int old_fd,
                     const struct stat* old) {
  if (old != nullptr &&
      (!posix::CopyInodeFlags(old_fd, fd) || fchown(fd, old->st_uid, old->st_gid) != 0 ||
       !posix::CopyAttributes(old_fd, fd) || fchmod(fd, old->st_mode & 07777) != 0)) {
    return Outcome::kInPlace;
  }
  return WriteAllTo(calls, fd, bytes) && calls.sync(fd) == 0 ? Outcome::kDone : Outcome::kFailed;
}

// Gives the unnamed file behind `fd` a temporary name in `dir`; "" when it cannot (no /proc).
std::string NameUnnamedFile(SaveCalls& calls, int fd, int dir) {
  for (int attempt = 0; attempt < 10; ++attempt) {
    std::string temp = RandomTempName();
    if (calls.name_unnamed(fd, dir, temp.c_str()) == 0) return temp;
    if (errno != EEXIST) break;
  }
  return {};
}

// The new content under the temporary name `temp` beside the target, complete and on disk;
// when that fails nothing is left behind. An unnamed file is named only just before the rename,
// so a save killed while writing leaves nothing at all.
Outcome WriteTempFile(SaveCalls& calls, const posix::Target& target, std::string_view bytes,
                      const struct stat* old, std::string& temp) {
  // Nobody else may open a replacement before it is what the old file is.
  const mode_t mode = old == nullptr ? 0666 : 0600;
  const int unnamed = calls.open_unnamed(target.dir, mode);
  if (unnamed >= 0) {
    const Outcome filled = FillTempFile(calls, unnamed, bytes, target.file, old);
    temp = filled == Outcome::kDone ? NameUnnamedFile(calls, unnamed, target.dir) : std::string();
    const bool closed = calls.close(unnamed) == 0;
    if (filled == Outcome::kDone && closed && !temp.empty()) return Outcome::kDone;
    if (!temp.empty()) static_cast<void>(unlinkat(target.dir, temp.c_str(), 0));
    if (filled != Outcome::kDone) return filled;
    if (!closed) return Outcome::kFailed;
    // Written but not nameable: the named way below still works.
  }
  int fd = -1;
  for (int attempt = 0; attempt < 10 && fd < 0; ++attempt) {
    temp = RandomTempName();
    fd = openat(target.dir, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return Refused(errno);
  const Outcome filled = FillTempFile(calls, fd, bytes, target.file, old);
  const bool closed = calls.close(fd) == 0;
  if (filled == Outcome::kDone && closed) return Outcome::kDone;
  static_cast<void>(unlinkat(target.dir, temp.c_str(), 0));
  return closed ? filled : Outcome::kFailed;
}

// Another save replaced the file while we waited for its lock: the lock is the old file's.
bool Replaced(const posix::Target& target) {
  struct stat named {};
  struct stat held {};
  if (target.dir < 0) return false;  // only written in place, through the file we hold
  return fstat(target.file, &held) != 0 ||
         fstatat(target.dir, target.name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
         named.st_dev != held.st_dev || named.st_ino != held.st_ino;
}

// A file over kMaxFileSize, at the first read or write of the run that meets it.
void ReportOnce(const std::string& path) {
  static std::set<std::string> reported;
  if (reported.insert(path).second) {
    throw RuntimeError(static_cast<std::int32_t>(ErrorNumber::kPathFileAccess), "ini",
                       "File larger than 64 MiB, neither read nor written: " + path);
  }
}

// Readers see either the old file or the new one, never a part of either.
Outcome ReplaceFile(SaveCalls& calls, const posix::Target& target, std::string_view bytes,
                    const struct stat* old) {
  std::string temp;
  const Outcome written = WriteTempFile(calls, target, bytes, old, temp);
  if (written != Outcome::kDone) return written;
  // A new file never replaces one that another save made meanwhile: that one's lock is ours next.
  // A file system that cannot rename so (EINVAL) leaves that race open, as no lock would close it.
  int renamed = -1;
  if (old == nullptr) {
    renamed =
        renameat2(target.dir, temp.c_str(), target.dir, target.name.c_str(), RENAME_NOREPLACE);
  }
  if (old != nullptr || (renamed != 0 && errno == EINVAL)) {
    renamed = calls.rename(target.dir, temp.c_str(), target.name.c_str());
  }
  if (renamed != 0) {
    const int error = errno;
    if (error == EEXIST && old == nullptr) {
      static_cast<void>(unlinkat(target.dir, temp.c_str(), 0));
      return Outcome::kTaken;
    }
    // Our temporary name went meanwhile: a save of ours that found the folder's lock free took
    // it for a killed save's. Another turn makes it again.
    if (error == ENOENT) return Outcome::kTaken;
    // Already failing; a temporary file we cannot remove changes nothing about that.
    static_cast<void>(unlinkat(target.dir, temp.c_str(), 0));
    return Refused(error);
  }
  // Until the folder is synced the rename may not survive a power cut: not yet saved.
  return calls.sync(target.dir) == 0 ? Outcome::kDone : Outcome::kFailed;
}

// One turn of a save: the file saved or not, or (kTaken) the file another save just made or put
// in its place, whose lock is then ours to take in the next turn.
Outcome SaveTurn(SaveCalls& calls, posix::Target& target, const posix::Change& change) {
  // Writable, or refused: renaming in a writable folder would override the file's protection.
  if (!target.Reopen()) return Outcome::kFailed;
  if (target.file < 0) {
    const std::optional<std::string> bytes = change("");
    return bytes ? ReplaceFile(calls, target, *bytes, nullptr) : Outcome::kFailed;
  }
  // Read, change and write under the file's lock, so that no other writer's change is lost
  // between our read and our write.
  if (posix::TakeLock(calls, target.file) == posix::LockState::kBusy) return Outcome::kFailed;
  if (Replaced(target)) return Outcome::kTaken;
  std::string old_bytes;
  struct stat old {};
  std::optional<std::string> bytes;
  if (!posix::ReadOpenFile(target.file, old_bytes, old) || !(bytes = change(old_bytes))) {
    return Outcome::kFailed;
  }
  if (*bytes == old_bytes) return Outcome::kDone;
  // A file of several names stays one file: replacing it would split them.
  if (old.st_nlink == 1 && target.dir >= 0) {
    const Outcome replaced = ReplaceFile(calls, target, *bytes, &old);
    if (replaced != Outcome::kInPlace) return replaced;
  }
  return posix::WriteInPlace(calls, target.Release(), change) ? Outcome::kDone : Outcome::kFailed;
}

}  // namespace

SaveCalls SystemSaveCalls() {
  SaveCalls calls;
  calls.open_unnamed = [](int dir, mode_t mode) {
#ifdef O_TMPFILE
    return openat(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
#else
    static_cast<void>(dir), static_cast<void>(mode);
    errno = EOPNOTSUPP;
    return -1;
#endif
  };
  calls.write = [](int fd, const char* data, std::size_t size) { return write(fd, data, size); };
  calls.sync = [](int fd) { return fsync(fd); };
  calls.close = [](int fd) { return close(fd); };
  calls.rename = [](int dir, const char* from, const char* to) {
    return renameat(dir, from, dir, to);
  };
  calls.name_unnamed = [](int fd, int dir, const char* name) {
    const std::string proc_path = "/proc/self/fd/" + std::to_string(fd);
    return linkat(AT_FDCWD, proc_path.c_str(), dir, name, AT_SYMLINK_FOLLOW);
  };
  calls.lock = [](int fd) {
    struct flock want {};
    want.l_type = F_WRLCK;
    want.l_whence = SEEK_SET;
    if (fcntl(fd, F_OFD_SETLK, &want) == 0) return 0;
    if (errno != EAGAIN && errno != EACCES) return -1;
    struct flock held = want;
    // A read lock takes no more than reading: it must not hold a save up.
    if (fcntl(fd, F_OFD_GETLK, &held) == 0 && held.l_type == F_RDLCK) return errno = ENOLCK, -1;
    return errno = EWOULDBLOCK, -1;
  };
  calls.lock_folder = [](int dir) { return flock(dir, LOCK_EX | LOCK_NB); };
  return calls;
}

ProfileWriter::ProfileWriter(SaveCalls calls) : calls_(std::move(calls)) {}

std::string ReadProfileString(const std::string& file_name, std::string_view section,
                              std::string_view entry) {
  bool too_large = false;
  const ParsedFile* file = posix::ParsedFileAt(file_name, too_large);
  if (too_large) ReportOnce(file_name);
  if (file == nullptr) return {};
  return file->ReadEntry(section, entry).value_or("");
}

std::int32_t ReadProfileInt(const std::string& file_name, std::string_view section,
                            std::string_view entry, std::int32_t fallback) {
  bool too_large = false;
  const ParsedFile* file = posix::ParsedFileAt(file_name, too_large);
  if (too_large) ReportOnce(file_name);
  if (file == nullptr) return fallback;
  const std::optional<std::string> value = file->ReadEntry(section, entry);
  if (!value || value->empty()) return fallback;
  return ParseProfileInt(*value);
}

bool WriteProfileString(const std::string& file_name, std::string_view section,
                        std::string_view entry, std::string_view value) {
  // One for the run: its saves share one budget of waits.
  static ProfileWriter writer;
  return writer.Write(file_name, section, entry, value);
}

bool CreateProfileForAnyText(const std::string& /*file_name*/) {
  // A file made by the first write is Windows-1252, which holds every key.
  return true;
}

bool ProfileWriter::Write(const std::string& file_name, std::string_view section,
                          std::string_view entry, std::string_view value) {
  const posix::Change change = [&](std::string_view old_bytes) {
    return WriteEntry(old_bytes, section, entry, value);
  };
  // Whatever this save changes, through whichever name, is read anew.
  posix::ForgetParsedFiles();
  posix::Target target;
  if (file_name.empty() || !target.Open(file_name)) return false;
  std::string old_bytes;
  struct stat old {};
  if (target.file >= 0 && fstat(target.file, &old) == 0 && old.st_size > posix::kMaxFileSize) {
    ReportOnce(file_name);
    return false;
  }
  // A save that changes nothing takes no turn: another writer can neither hold it up nor fail it.
  if (target.file >= 0 && !posix::ReadOpenFile(target.file, old_bytes, old)) return false;
  std::optional<std::string> new_bytes = change(old_bytes);
  if (!new_bytes || (target.file >= 0 && *new_bytes == old_bytes)) return new_bytes.has_value();

  // Without the folder's lock a temporary file may belong to a save still running.
  const posix::FolderLock folder(calls_, target.dir);
  if (folder.state() == posix::LockState::kHeld) folder.RemoveStaleTempFiles();
  for (int turn = 0; turn < kTurns; ++turn) {
    const Outcome outcome = SaveTurn(calls_, target, change);
    if (outcome != Outcome::kTaken) return outcome == Outcome::kDone;
  }
  return false;
}

}  // namespace ini
