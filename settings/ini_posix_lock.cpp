// Locks that make concurrent saves of an INI file take turns.
// SPDX-License-Identifier: MIT
#include "settings/ini_posix_lock.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>

#include "settings/ini_posix_files.h"

namespace ini::posix {
namespace {

bool IsTempName(std::string_view name) {
  return name.size() == kTempNameSize && name.starts_with(kTempPrefix);
}

}  // namespace

LockState TakeLock(SaveCalls& calls, int fd) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  long pause_ns = 1'000'000;
  bool waited = false;
  while (calls.lock(fd) != 0) {
    // Saving unlocked where the file system has no locks beats never saving.
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
  if (fd_ >= 0) state_ = calls.lock_folder(fd_) == 0 ? LockState::kHeld : LockState::kBusy;
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
}  // namespace ini::posix
