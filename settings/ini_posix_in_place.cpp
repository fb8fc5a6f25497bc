// Writing a file in place under its own lock, with the old bytes put back on failure.
// SPDX-License-Identifier: MIT
#include "settings/ini_posix_in_place.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "base/write_all.h"
#include "settings/ini_posix_files.h"

namespace ini::posix {
namespace {

// Around the seam: the old bytes need no block the file does not have already.
void PutBack(int fd, std::string_view old_bytes, std::size_t from) {
  auto at = static_cast<off_t>(from);
  static_cast<void>(WriteAll(old_bytes.substr(from),
                             [fd, &at](const char* data, std::size_t size) {
                               const ssize_t n = pwrite(fd, data, size, at);
                               at += n > 0 ? n : 0;
                               return n;
                             }) &&
                    ftruncate(fd, static_cast<off_t>(old_bytes.size())) == 0 && fsync(fd) == 0);
}

}  // namespace

bool WriteInPlace(SaveCalls& calls, int fd, const Change& change) {
  std::string old_bytes;
  struct stat st {};
  std::optional<std::string> bytes;
  const bool ready = ReadOpenFile(fd, old_bytes, st) && (bytes = change(old_bytes));
  bool written = ready && *bytes == old_bytes;
  if (ready && !written) {
    // A kill in the middle then leaves every byte before the first that differs as it was.
    const std::size_t from = static_cast<std::size_t>(
        std::mismatch(bytes->begin(), bytes->end(), old_bytes.begin(), old_bytes.end()).first -
        bytes->begin());
    written =
        lseek(fd, static_cast<off_t>(from), SEEK_SET) >= 0 &&
        WriteAll(std::string_view(*bytes).substr(from),
                 [&](const char* data, std::size_t size) { return calls.write(fd, data, size); }) &&
        ftruncate(fd, static_cast<off_t>(bytes->size())) == 0 && calls.sync(fd) == 0;
    if (!written) PutBack(fd, old_bytes, from);
  }
  return calls.close(fd) == 0 && written;
}

}  // namespace ini::posix
