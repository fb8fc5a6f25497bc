#include "settings/ini_posix_files.h"

#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <vector>

namespace ini::posix {
namespace {

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

bool CopyAttributes(const std::string& from, int to) {
  const char* source = from.c_str();
  const auto old_names = Names([&](char* b, std::size_t n) { return listxattr(source, b, n); });
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
        Fetch([&](char* b, std::size_t n) { return getxattr(source, name.c_str(), b, n); });
    if (!value || fsetxattr(to, name.c_str(), value->data(), value->size(), 0) != 0) return false;
  }
  return true;
}

}  // namespace ini::posix
