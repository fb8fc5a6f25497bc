// What the POSIX INI backend needs to know of a file besides its lines.
// SPDX-License-Identifier: MIT
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

// What the POSIX INI backend needs to know of a file besides its lines.
namespace ini::posix {

enum class ReadResult { kRead, kMissing, kFailed };

// A regular file's bytes and, when `info` is given, its status.
ReadResult ReadWholeFile(const std::string& path, std::string& bytes, struct stat* info);

// The bytes of the open regular file `fd` from its start, and its status.
bool ReadOpenFile(int fd, std::string& bytes, struct stat& info);

// Our temporary files: ".ini_write." and six characters.
constexpr std::string_view kTempPrefix = ".ini_write.";
constexpr std::size_t kTempNameSize = kTempPrefix.size() + 6;

// The file a save changes, found by the link rule of base/posix_links.h: `file` open (-1 while
// it is missing), its folder open as `parent` (O_PATH) and as `dir` (-1 when it cannot be read:
// the file can then only be written in place), and its name there, which is no link.
class Target {
 public:
  Target() = default;
  ~Target();
  Target(const Target&) = delete;
  Target& operator=(const Target&) = delete;

  // False when the file or its folder cannot be opened, a link on the way is refused, or the
  // path names no regular file.
  bool Open(const std::string& file_name);
  // Opens the file anew for reading and writing, after another save may have replaced it; false
  // when it cannot be written. `file` is -1 when it is gone from a readable folder.
  bool Reopen();
  // Hands the open file over; the caller closes it.
  int Release();

  int file = -1;
  int dir = -1;
  int parent = -1;
  std::string name;
};

// Give the open file `to` what the open file `from` is; false when something cannot be read or
// set. The extended attributes (the POSIX ACL and security labels among them), exactly:
bool CopyAttributes(int from, int to);
// The inode flags of chattr(1) that a file may carry (never "i" or "a": such a file is not
// written at all). On the new, still empty file: some can be set only there.
bool CopyInodeFlags(int from, int to);

}  // namespace ini::posix
