// The path walk of privileged writes: each link checked before it is followed.
// SPDX-License-Identifier: MIT
#include "base/posix_links.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace link_walk {
namespace {

// As the kernel's path walk: more links than this on one path are a loop.
constexpr int kMaxLinks = 40;

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) static_cast<void>(close(fd_));
  }
  Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Fd& operator=(Fd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// A folder and a name in it that is no link ("." for the folder itself).
struct Place {
  Fd folder;
  std::string name;
};

std::optional<Place> Resolve(int at, std::string_view path, int& links);

int OpenPath(int folder, const char* name, int flags) {
  return openat(folder, name, O_PATH | O_CLOEXEC | O_NOFOLLOW | flags);
}

std::optional<uid_t> OwnerOf(int folder, const std::string& name) {
  struct stat st {};
  if (fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
  return st.st_uid;
}

// `name` in `folder`, followed when it is a link that may be followed.
std::optional<Place> Step(int folder, const std::string& name, int& links) {
  if (name == "..") {
    Fd up(OpenPath(folder, "..", O_DIRECTORY));
    if (up.get() < 0) return std::nullopt;
    return Place{std::move(up), "."};
  }
  Fd item(OpenPath(folder, name.c_str(), 0));
  struct stat st {};
  if ((item.get() >= 0 && fstat(item.get(), &st) != 0) || (item.get() < 0 && errno != ENOENT)) {
    return std::nullopt;
  }
  if (item.get() < 0 || !S_ISLNK(st.st_mode)) {
    Fd same(OpenPath(folder, ".", O_DIRECTORY));
    if (same.get() < 0) return std::nullopt;
    return Place{std::move(same), name};
  }
  if (++links > kMaxLinks) return errno = ELOOP, std::nullopt;
  // Read through the link's own descriptor: the name may be another link by now.
  std::string content(4096, '\0');
  const ssize_t n = readlinkat(item.get(), "", content.data(), content.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= content.size()) return errno = ELOOP, std::nullopt;
  content.resize(static_cast<std::size_t>(n));
  std::optional<Place> target = Resolve(folder, content, links);
  if (!target) return std::nullopt;
  const std::optional<uid_t> target_owner = OwnerOf(target->folder.get(), target->name);
  const std::optional<uid_t> folder_owner = OwnerOf(folder, ".");
  const bool trusted = st.st_uid == geteuid() || st.st_uid == 0 ||
                       (st.st_uid == folder_owner && st.st_uid == target_owner);
  if (!target_owner || !trusted) return errno = EACCES, std::nullopt;
  return target;
}

// `path` from the folder `at` (or from the root), every link on it followed by the rule.
std::optional<Place> Resolve(int at, std::string_view path, int& links) {
  const bool absolute = path.starts_with('/');
  Fd folder(OpenPath(absolute ? AT_FDCWD : at, absolute ? "/" : ".", O_DIRECTORY));
  std::vector<std::string> parts;
  for (std::size_t start = 0; start <= path.size();) {
    const std::size_t end = std::min(path.find('/', start), path.size());
    const std::string_view part = path.substr(start, end - start);
    if (!part.empty() && part != ".") parts.emplace_back(part);
    start = end + 1;
  }
  // A path that ends in "/" or "/." names a folder, as for the kernel.
  if (path.ends_with('/') || path == "." || path.ends_with("/.")) parts.emplace_back(".");
  if (folder.get() < 0) return std::nullopt;
  if (parts.empty()) return Place{std::move(folder), "."};
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    std::optional<Place> place = Step(folder.get(), parts[i], links);
    if (!place) return std::nullopt;
    folder = Fd(OpenPath(place->folder.get(), place->name.c_str(), O_DIRECTORY));
    if (folder.get() < 0) return std::nullopt;
  }
  return Step(folder.get(), parts.back(), links);
}

}  // namespace

int OpenFolderOf(const std::string& path, std::string& name) {
  if (path.empty()) return errno = ENOENT, -1;
  int links = 0;
  std::optional<Place> place = Resolve(AT_FDCWD, path, links);
  if (!place) return -1;
  if (place->name == ".") return errno = EISDIR, -1;
  name = place->name;
  return place->folder.release();
}

}  // namespace link_walk
