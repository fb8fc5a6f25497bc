// Taking turns with other writers: the folder lock and the file's own lock.
// SPDX-License-Identifier: MIT
#pragma once

#include "settings/ini_backend_posix.h"

// Turns with the other writers: the file's write lock, under which every save of a file reads,
// changes and writes it, and the folder lock that the removal of left temporary files needs. The
// kernel drops the locks of a killed writer.
namespace ini::posix {

enum class LockState { kHeld, kBusy, kUnavailable };

// The write lock on the file `fd`, waited for at most what is left of calls.lock_wait, which the
// wait uses up. kUnavailable where the file system cannot lock (NFS without locks).
LockState TakeLock(SaveCalls& calls, int fd);

// flock on the folder itself, taken only when free: anyone who may read the folder can hold it,
// so no save waits for it. Held, it keeps our other saves' temporary files safe from removal.
class FolderLock {
 public:
  // `dir` is an open folder, or -1 for none (kUnavailable). kBusy when it is held.
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
