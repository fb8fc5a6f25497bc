// Reading INI files and keeping their attributes for the POSIX backend.
// SPDX-License-Identifier: MIT
#include "settings/ini_posix_files.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <utility>
#include <vector>

#include "base/posix_links.h"

namespace ini::posix {
namespace {

// From the start, whatever the descriptor's position.
bool ReadAll(int fd, std::size_t size_hint, std::string& bytes) {
  // One spare byte so that a file read whole is recognised without growing the buffer.
  bytes.resize(size_hint + 1);
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) bytes.resize(bytes.size() * 2);
    const ssize_t n = pread(fd, bytes.data() + used, bytes.size() - used, static_cast<off_t>(used));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
  }
  bytes.resize(used);
  return true;
}

// What `get` (a call of the getxattr kind: buffer, size) hands out; nullopt when it fails.
template <typename Get>
std::optional<std::string> Fetch(Get get) {
  for (;;) {
    const ssize_t size = get(nullptr, 0);
    if (size < 0) return std::nullopt;
    std::string buffer(static_cast<std::size_t>(size), '\0');
    const ssize_t got = get(buffer.data(), buffer.size());
    if (got >= 0) return buffer.substr(0, static_cast<std::size_t>(got));
    if (errno != ERANGE) return std::nullopt;  // ERANGE: it grew in between
  }
}

// The attribute names of a list of the listxattr kind; none where the file system has none.
template <typename List>
std::optional<std::vector<std::string>> Names(List list) {
  const std::optional<std::string> all = Fetch(list);
  if (!all) return errno == ENOTSUP ? std::optional(std::vector<std::string>()) : std::nullopt;
  std::vector<std::string> names;
  for (std::size_t at = 0; at < all->size();) {
    names.emplace_back(all->c_str() + at);
    at += names.back().size() + 1;
  }
  return names;
}

}  // namespace

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
  const bool read_ok = ReadOpenFile(fd, bytes, st);
  const bool closed = close(fd) == 0;
  if (!read_ok || !closed) return ReadResult::kFailed;
  if (info != nullptr) *info = st;
  return ReadResult::kRead;
}

bool ReadOpenFile(int fd, std::string& bytes, struct stat& info) {
  return fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
         ReadAll(fd, static_cast<std::size_t>(info.st_size), bytes);
}

Target::~Target() {
  for (const int fd : {file, dir, parent}) {
    if (fd >= 0) static_cast<void>(close(fd));
  }
}

int Target::Release() {
  return std::exchange(file, -1);
}

bool Target::Open(const std::string& file_name) {
  parent = link_walk::OpenFolderOf(file_name, name);
  struct stat st {};
  // A FIFO or a device in the file's place must not stall or disturb us: never opened.
  if (parent < 0 ||
      (fstatat(parent, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(st.st_mode))) {
    return false;
  }
  file = openat(parent, name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
  if (file < 0 && errno != ENOENT) return false;
  dir = openat(parent, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (file < 0) return dir >= 0;
  return fstat(file, &st) == 0 && S_ISREG(st.st_mode);
}

bool Target::Reopen() {
  // Never through a link that took the name since Open: nobody checked where it leads.
  const int fd = openat(parent, name.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
  if (fd < 0 && errno == ENOENT && dir >= 0) {
    if (file >= 0) static_cast<void>(close(std::exchange(file, -1)));
    return true;
  }
  if (fd < 0) return false;
  struct stat now {};
  struct stat before {};
  // Without its folder only the file first opened may be written.
  const bool same = fstat(fd, &now) == 0 && S_ISREG(now.st_mode) &&
                    (dir >= 0 || (fstat(file, &before) == 0 && now.st_dev == before.st_dev &&
                                  now.st_ino == before.st_ino));
  if (file >= 0) static_cast<void>(close(file));
  file = fd;
  return same;
}

bool CopyAttributes(int from, int to) {
  const auto old_names = Names([&](char* b, std::size_t n) { return flistxattr(from, b, n); });
  const auto new_names = Names([&](char* b, std::size_t n) { return flistxattr(to, b, n); });
  if (!old_names || !new_names) return false;
  // The new file may have inherited some (a default ACL of the folder) that the old one lacks.
  for (const std::string& name : *new_names) {
    if (std::find(old_names->begin(), old_names->end(), name) == old_names->end() &&
        fremovexattr(to, name.c_str()) != 0) {
      return false;
    }
  }
  for (const std::string& name : *old_names) {
    const std::optional<std::string> value =
        Fetch([&](char* b, std::size_t n) { return fgetxattr(from, name.c_str(), b, n); });
    if (!value || fsetxattr(to, name.c_str(), value->data(), value->size(), 0) != 0) return false;
  }
  return true;
}

bool CopyInodeFlags(int from, int to) {
  // What a user may set and a file system may keep per file; the rest (extents, inline data,
  // encryption, ...) is the file system's own business.
  constexpr int kCarried = FS_SECRM_FL | FS_UNRM_FL | FS_COMPR_FL | FS_SYNC_FL | FS_NODUMP_FL |
                           FS_NOATIME_FL | FS_JOURNAL_DATA_FL | FS_NOTAIL_FL | FS_NOCOMP_FL |
                           FS_NOCOW_FL | FS_DAX_FL | FS_PROJINHERIT_FL;
  int old_flags = 0;
  int new_flags = 0;
  // A file system without flags has none to lose.
  if (ioctl(from, FS_IOC_GETFLAGS, &old_flags) != 0) return errno == ENOTTY || errno == ENOTSUP;
  if (ioctl(to, FS_IOC_GETFLAGS, &new_flags) != 0) return (old_flags & kCarried) == 0;
  // Some come from the folder, and the old file may lack them.
  int wanted = (new_flags & ~kCarried) | (old_flags & kCarried);
  return wanted == new_flags ||
         (ioctl(to, FS_IOC_SETFLAGS, &wanted) == 0 && ioctl(to, FS_IOC_GETFLAGS, &new_flags) == 0 &&
          (new_flags & kCarried) == (old_flags & kCarried));
}

}  // namespace ini::posix
