// Keeping the parsed files of a run, for the many reads of one file.
// SPDX-License-Identifier: MIT
#include "settings/ini_posix_read_cache.h"

#include <sys/stat.h>

#include <ctime>
#include <map>
#include <memory>

#include "settings/ini_posix_files.h"

namespace ini::posix {
namespace {

struct Parsed {
  struct stat info {};
  std::unique_ptr<ParsedFile> file;
  bool settled = false;  // false: parsed again at the next read
};

std::map<std::string, Parsed>& Cache() {
  static std::map<std::string, Parsed> cache;
  return cache;
}

bool Same(const struct stat& a, const struct stat& b) {
  const auto same_time = [](const timespec& x, const timespec& y) {
    return x.tv_sec == y.tv_sec && x.tv_nsec == y.tv_nsec;
  };
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         same_time(a.st_mtim, b.st_mtim) && same_time(a.st_ctim, b.st_ctim);
}

// Time stamps at least this much older than the read cannot be those of a later change, whatever
// the file system's clock (FAT keeps two seconds).
constexpr time_t kSettled = 3;

bool Settled(const struct stat& info, const timespec& read_at) {
  return info.st_mtim.tv_sec + kSettled < read_at.tv_sec &&
         info.st_ctim.tv_sec + kSettled < read_at.tv_sec;
}

}  // namespace

const ParsedFile* ParsedFileAt(const std::string& path, bool& too_large) {
  std::map<std::string, Parsed>& cache = Cache();
  const auto known = cache.find(path);
  struct stat now {};
  const bool found = stat(path.c_str(), &now) == 0;
  if (found && known != cache.end() && known->second.settled && Same(now, known->second.info)) {
    return known->second.file.get();
  }
  // The old parse goes first: a run holds no more than one copy of a large file.
  if (known != cache.end()) cache.erase(known);
  too_large = found && S_ISREG(now.st_mode) && now.st_size > kMaxFileSize;
  if (too_large) return nullptr;
  timespec read_at{};
  clock_gettime(CLOCK_REALTIME, &read_at);
  std::string bytes;
  struct stat info {};
  if (ReadWholeFile(path, bytes, &info) != ReadResult::kRead) return nullptr;
  auto file = std::make_unique<ParsedFile>(bytes);
  bytes = std::string();
  return cache.emplace(path, Parsed{info, std::move(file), Settled(info, read_at)})
      .first->second.file.get();
}

void ForgetParsedFiles() {
  Cache().clear();
}

}  // namespace ini::posix
