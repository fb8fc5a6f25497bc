// The system calls of a POSIX save as a replaceable table, so tests can make each fail.
// SPDX-License-Identifier: MIT
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// Test seam: the system calls of a POSIX save that can fail, as one replaceable table, so that
// tests can make each step fail on every run instead of waiting for a disk to misbehave.
namespace ini {

struct SaveCalls {
  // An unnamed file in the folder open as `dir` (O_TMPFILE); -1 with errno when the file system
  // has none.
  std::function<int(int dir, mode_t mode)> open_unnamed;
  std::function<ssize_t(int fd, const char* data, std::size_t size)> write;
  // The file's data, or the folder's entries (a descriptor of the folder).
  std::function<int(int fd)> sync;
  // Where NFS and FUSE file systems report write errors they held back.
  std::function<int(int fd)> close;
  // Within the folder open as `dir`.
  std::function<int(int dir, const char* from, const char* to)> rename;
  // Names the unnamed file `fd` `name` in the folder `dir` (through /proc); -1 with errno when it
  // cannot.
  std::function<int(int fd, int dir, const char* name)> name_unnamed;
  // A write lock on the whole open file `fd` (an open file description lock of fcntl(2)),
  // without waiting: 0; -1 with EWOULDBLOCK while a writer holds one there; another errno where
  // the file system has none (NFS and some FUSE file systems). Taking it needs the file open for
  // writing; a lock that takes no more than reading (a read lock) orders no writer of ours and
  // counts as none, so that a user who may only read the file cannot hold up its saves.
  std::function<int(int fd)> lock;
  // flock(2) LOCK_EX | LOCK_NB on a folder. Never waited for: it only tells that no save of ours
  // is under way there, which the removal of left temporary files needs.
  std::function<int(int dir)> lock_folder;
  // How long the saves of a run may still wait for other writers, all together: each wait takes
  // its time off, so a run of many saves is not held up many times over.
  std::chrono::steady_clock::duration lock_wait = std::chrono::seconds(5);
};

SaveCalls SystemSaveCalls();

// Saves through `calls`, which tests make fail. WriteProfileString (ini_backend.h) is one over
// the system's calls, kept for the run so that its saves share one budget of waits. Not
// thread-safe.
class ProfileWriter {
 public:
  explicit ProfileWriter(SaveCalls calls = SystemSaveCalls());

  // As WriteProfileString.
  bool Write(const std::string& file_name, std::string_view section, std::string_view entry,
             std::string_view value);

 private:
  SaveCalls calls_;
};

}  // namespace ini
