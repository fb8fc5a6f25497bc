// The files a run reads, parsed once while they stay as they are.
// SPDX-License-Identifier: MIT
#pragma once

#include <sys/types.h>

#include <string>

#include "settings/ini_file_text.h"

namespace ini::posix {

// Larger files are neither read nor written: a run would hold them in memory twice.
constexpr off_t kMaxFileSize = off_t{64} << 20;

// The file at `path` parsed, or null when it cannot be read (missing, no regular file, larger
// than kMaxFileSize: then `too_large` is set). Parsed
// again when its device, inode, size or time stamps differ from those of the last parse, and
// whenever they are too recent to tell a later change by: a change within the same tick of the
// file system's clock keeps its time stamp.
const ParsedFile* ParsedFileAt(const std::string& path, bool& too_large);

// After a write of ours: the next read of any file parses it again.
void ForgetParsedFiles();

}  // namespace ini::posix
