// Locks that make concurrent saves of an INI file take turns.
// SPDX-License-Identifier: MIT
#include "settings/ini_posix_lock.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>

#include "base/write_all.h"
#include "settings/ini_posix_files.h"

namespace ini::posix {
namespace {

bool IsTempName(std::string_view name) {
  return name.size() == kTempNameSize && name.starts_with(kTempPrefix);
}

// Around the seam: the old bytes need no block the file does not have already.
void PutBack(int fd, std::string_view old_bytes, std::size_t from) {
  auto at = static_cast<off_t>(from);
  static_cast<void>(WriteAll(old_bytes.substr(from),
                             [fd, &at](const char* data, std::size_t size) {
                               const ssize_t n = pwrite(fd, data, size, at);
                               at += n > 0 ? n : 0;
                               return n;
                             }) &&
                    ftruncate(fd, static_cast<off_t>(old_bytes.size())) == 0 && fsync(fd) == 0);
}

}  // namespace

LockState TakeLock(SaveCalls& calls, int fd) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  long pause_ns = 1'000'000;
  bool waited = false;
  while (calls.lock(fd, LOCK_EX | LOCK_NB) != 0) {
    // NFS emulates flock with record locks, which a folder opened for reading cannot take:
    // saving there unlocked beats never saving.
    if (errno != EWOULDBLOCK && errno != EINTR) return LockState::kUnavailable;
    const Clock::duration so_far = Clock::now() - start;
    if (so_far >= calls.lock_wait) {
      calls.lock_wait = Clock::duration::zero();
      return LockState::kBusy;
    }
    const long left_ns = std::chrono::nanoseconds(calls.lock_wait - so_far).count();
    const timespec pause{0, std::min(pause_ns, left_ns)};
    nanosleep(&pause, nullptr);
    pause_ns = std::min(pause_ns * 2, 20'000'000L);
    waited = true;
  }
  // Only a wait uses up the allowance, not the moment a free lock takes.
  if (waited) calls.lock_wait -= std::min(calls.lock_wait, Clock::now() - start);
  return LockState::kHeld;
}

FolderLock::FolderLock(SaveCalls& calls, int dir)
    : fd_(dir < 0 ? -1 : openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
  if (fd_ >= 0) state_ = TakeLock(calls, fd_);
}

FolderLock::~FolderLock() {
  // Closing the last descriptor releases the lock.
  if (fd_ >= 0) static_cast<void>(close(fd_));
}

void FolderLock::RemoveStaleTempFiles() const {
  const int list_fd = dup(fd_);
  if (list_fd < 0) return;
  DIR* dir = fdopendir(list_fd);
  if (dir == nullptr) {
    static_cast<void>(close(list_fd));
    return;
  }
  // Not thread-safe only for one stream read from two threads; readdir_r is deprecated.
  while (const dirent* item = readdir(dir)) {  // NOLINT(concurrency-mt-unsafe)
    struct stat st {};
    if (IsTempName(item->d_name) && fstatat(fd_, item->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(st.st_mode)) {
      // One we cannot remove is no reason to refuse the save.
      static_cast<void>(unlinkat(fd_, item->d_name, 0));
    }
  }
  static_cast<void>(closedir(dir));
}

bool WriteInPlace(SaveCalls& calls, int fd, const Change& change) {
  std::string old_bytes;
  struct stat st {};
  std::optional<std::string> bytes;
  const bool ready = TakeLock(calls, fd) != LockState::kBusy && ReadOpenFile(fd, old_bytes, st) &&
                     (bytes = change(old_bytes));
  bool written = ready && *bytes == old_bytes;
  if (ready && !written) {
    // A kill in the middle then leaves every byte before the first that differs as it was.
    const std::size_t from = static_cast<std::size_t>(
        std::mismatch(bytes->begin(), bytes->end(), old_bytes.begin(), old_bytes.end()).first -
        bytes->begin());
    written =
        lseek(fd, static_cast<off_t>(from), SEEK_SET) >= 0 &&
        WriteAll(std::string_view(*bytes).substr(from),
                 [&](const char* data, std::size_t size) { return calls.write(fd, data, size); }) &&
        ftruncate(fd, static_cast<off_t>(bytes->size())) == 0 && calls.sync(fd) == 0;
    if (!written) PutBack(fd, old_bytes, from);
  }
  return calls.close(fd) == 0 && written;
}

}  // namespace ini::posix
