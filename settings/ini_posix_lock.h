// Taking turns with other writers: the folder lock and the file's own lock.
// SPDX-License-Identifier: MIT
#pragma once

#include "settings/ini_backend_posix.h"

// Turns with the other writers: the folder lock every save of this program takes, and the file's
// own lock, under which a file is written in place (ini_posix_in_place.h). The kernel drops the
// locks of a killed writer.
namespace ini::posix {

enum class LockState { kHeld, kBusy, kUnavailable };

// An exclusive flock on `fd`, waited for at most what is left of calls.lock_wait, which the wait
// uses up. kUnavailable where the file system cannot lock (NFS without flock).
LockState TakeLock(SaveCalls& calls, int fd);

// flock on the folder itself: it is never replaced (a lock on the file would be lost with the old
// file at each rename) and needs no lock file that would stay behind.
class FolderLock {
 public:
  // `dir` is an open folder, or -1 for none (kUnavailable).
  FolderLock(SaveCalls& calls, int dir);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  LockState state() const { return state_; }
  // While we hold the lock no save of ours is under way here, so every temporary file of ours
  // was left by one that was killed.
  void RemoveStaleTempFiles() const;

 private:
  int fd_;
  LockState state_ = LockState::kUnavailable;
};
}  // namespace ini::posix
