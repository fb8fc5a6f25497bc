// Taking turns with other writers: the folder lock and the file's own lock.
// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "settings/ini_backend_posix.h"

// Turns with the other writers: the folder lock every save of this program takes, and the file's
// own lock, under which a file is written in place. The kernel drops the locks of a killed writer.
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

// The file's new bytes from its old ones; nullopt when they cannot be made.
using Change = std::function<std::optional<std::string>(std::string_view old_bytes)>;

// For a file a new one cannot stand in for, as the platform's profile functions write: under the
// file's own lock, which every name of the file shares, read again, then the new bytes over the
// old from the first that differs, cut to length and synced. A failed write puts the old bytes
// back. Takes `fd` (open for reading and writing) and closes it.
bool WriteInPlace(SaveCalls& calls, int fd, const Change& change);

}  // namespace ini::posix
