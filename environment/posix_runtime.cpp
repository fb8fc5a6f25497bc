// The runtime on Linux: program path, arguments, files, logs and exit.
// SPDX-License-Identifier: MIT
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <tuple>
#include <utility>

#ifdef ZARO_COVERAGE
extern "C" {  // GCC's header declares its C functions without saying so
#include <gcov.h>
}
#endif

#include "base/codepage.h"
#include "base/path_rules.h"
#include "base/posix_links.h"
#include "base/write_all.h"
#include "environment/native_runtime.h"
#include "errors/error.h"

// POSIX leaves declaring it to the program; glibc declares it too, under _GNU_SOURCE.
extern char** environ;  // NOLINT(readability-redundant-declaration)

namespace {

std::string ExecutablePath(const char* argv0) {
  std::vector<char> buffer(PATH_MAX + 1);
  const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (length > 0) return std::string(buffer.data(), static_cast<std::size_t>(length));
  if (argv0 != nullptr) {
    std::unique_ptr<char, decltype(&std::free)> real(realpath(argv0, nullptr), &std::free);
    if (real) return real.get();
    return argv0;
  }
  return {};
}

bool IsRegular(const std::string& path) {
  struct stat info {};
  return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::u32string Folded(std::string_view name) {
  std::u32string folded = text::DecodeUtf8(name);
  for (char32_t& c : folded) c = text::LowerCodePoint(c);
  return folded;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

// The entries of `folder` whose names equal `name` but for letter case, exact match first. Only
// names are read: whether a variant leads anywhere is for the caller to find out.
std::vector<std::string> CaseVariants(const std::string& folder, const std::string& name) {
  std::vector<std::string> variants;
  const std::string exact = Join(folder, name);
  struct stat info {};
  if (lstat(exact.c_str(), &info) == 0) variants.push_back(name);
  struct CloseDir {
    void operator()(DIR* d) const { closedir(d); }
  };
  std::unique_ptr<DIR, CloseDir> dir(opendir(folder.empty() ? "." : folder.c_str()));
  if (!dir) return variants;
  const std::u32string wanted = Folded(name);
  std::vector<std::string> others;
  // Not thread-safe only for one stream read from two threads; readdir_r is deprecated.
  while (const dirent* item = readdir(dir.get())) {  // NOLINT(concurrency-mt-unsafe)
    const std::string candidate = item->d_name;
    if (candidate != name && Folded(candidate) == wanted) others.push_back(candidate);
  }
  std::sort(others.begin(), others.end());
  variants.insert(variants.end(), others.begin(), others.end());
  return variants;
}

// A search through the case variants of each part. Links between variants (`a` and `A` both
// naming `.`) make the paths many, but where the rest of the path leads depends only on the
// folder reached and the part still to match: each such pair is searched once.
class CaseLookup {
 public:
  explicit CaseLookup(std::vector<std::string> parts) : parts_(std::move(parts)) {}

  std::string Resolve(const std::string& prefix, std::size_t index) {
    if (index == parts_.size()) return IsRegular(prefix) ? prefix : std::string();
    const std::string& part = parts_[index];
    const bool last = index + 1 == parts_.size();
    if (last) {
      if (part == "." || part == "..") return {};
      for (const std::string& variant : CaseVariants(prefix, part)) {
        if (IsRegular(Join(prefix, variant))) return Join(prefix, variant);
      }
      return {};
    }
    struct stat folder {};
    if (stat(prefix.empty() ? "." : prefix.c_str(), &folder) != 0) return {};
    if (!searched_.emplace(folder.st_dev, folder.st_ino, index).second) return {};
    if (part == "." || part == "..") return Resolve(Join(prefix, part), index + 1);
    for (const std::string& variant : CaseVariants(prefix, part)) {
      const std::string next = Join(prefix, variant);
      if (!IsDirectory(next)) continue;
      std::string found = Resolve(next, index + 1);
      if (!found.empty()) return found;
    }
    return {};
  }

 private:
  std::vector<std::string> parts_;
  // Folders (device, inode) already searched for the part of this index, without success.
  std::set<std::tuple<dev_t, ino_t, std::size_t>> searched_;
};

ErrorNumber ErrorForErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return ErrorNumber::kPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
      return ErrorNumber::kPermissionDenied;
    default:
      return ErrorNumber::kPathFileAccess;
  }
}

}  // namespace

NativeRuntime::NativeRuntime(int argc, const char* const* argv)
    : program_file_(ExecutablePath(argc > 0 && argv != nullptr ? argv[0] : nullptr)) {
  for (int i = 1; i < argc; ++i) {
    if (i > 1) argument_text_ += ' ';
    argument_text_ += argv[i];
  }
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    environment_.emplace_back(*entry);
  }
}

void NativeRuntime::set_program_file(const std::string& path) {
  program_file_ = path;
}

PathStyle NativeRuntime::path_style() const {
  return PathStyle::kPosix;
}

std::string NativeRuntime::ProgramFolder() const {
  const auto slash = program_file_.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return program_file_.substr(0, slash);
}

std::string NativeRuntime::ProgramName() const {
  return ProgramNameOf(program_file_, '/');
}

bool NativeRuntime::IsOrdinaryFile(const std::string& path) const {
  return IsRegular(path);
}

std::string NativeRuntime::FindFile(const std::string& path) const {
  if (path.empty()) return {};
  if (IsRegular(path)) return path;
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    const auto end = std::min(path.find('/', start), path.size());
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  if (parts.empty()) return {};
  return CaseLookup(std::move(parts)).Resolve(path.front() == '/' ? "/" : "", 0);
}

void NativeRuntime::AppendToFile(const std::string& path, const std::string& text) {
  std::string name;
  const int folder = path.empty() ? -1 : link_walk::OpenFolderOf(path, name);
  if (folder < 0) {
    throw RuntimeError(path.empty() ? ErrorNumber::kPathFileAccess : ErrorForErrno(errno),
                       ProgramName());
  }
  // Only a regular file takes entries: a FIFO would hold the run until someone reads it (and
  // hand them the entries), a device would swallow them or worse.
  struct stat info {};
  const bool other =
      fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(info.st_mode);
  const int fd =
      other ? -1
            : openat(folder, name.c_str(),
                     O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
  const int open_error = errno;
  static_cast<void>(close(folder));
  if (fd < 0 && !other) throw RuntimeError(ErrorForErrno(open_error), ProgramName());
  if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    if (fd >= 0) static_cast<void>(close(fd));
    throw RuntimeError(ErrorNumber::kPathFileAccess, ProgramName());
  }
  const bool written = WriteAll(
      AnsiText(text), [fd](const char* data, std::size_t size) { return write(fd, data, size); });
  const int write_error = errno;
  const bool closed = close(fd) == 0;
  if (!written) throw RuntimeError(ErrorForErrno(write_error), ProgramName());
  if (!closed) throw RuntimeError(ErrorNumber::kPathFileAccess, ProgramName());
}

std::string NativeRuntime::AnsiText(std::string_view utf8) const {
  return text::Utf8ToWindows1252(utf8);
}

std::string NativeRuntime::ServiceLogPath() const {
  return "/var/log/MorvikServicePack.log";
}

void NativeRuntime::WriteStandardError(const std::string& text) {
  // The last resort: a failed write has nowhere left to go.
  static_cast<void>(std::fwrite(text.data(), 1, text.size(), stderr));
  static_cast<void>(std::fflush(stderr));
}

void NativeRuntime::WriteSystemLog(const std::string& /*text*/) {}

void NativeRuntime::ProcessPendingEvents() {
  if (event_pump_) event_pump_();
}

void NativeRuntime::EndProcess(ExitStatus status) {
  static_cast<void>(std::fflush(nullptr));
#ifdef ZARO_COVERAGE
  // _Exit skips the exit handlers that write a coverage build's counts. A run as another user
  // may find the build tree's count files closed to it: those counts are lost, and gcov's
  // complaints with them, so that standard error holds only what the program said.
  const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null >= 0) static_cast<void>(dup2(null, STDERR_FILENO));
  __gcov_dump();
#endif
  std::_Exit(status);
}
