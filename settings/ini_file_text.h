// Whole INI files: their encodings around the line model of ini_text.h.
// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/ini_text.h"

namespace ini {

// Whole files. A file is Windows-1252 unless it starts with a byte order mark: FF FE makes it
// UTF-16 LE, EF BB BF UTF-8; the mark stays. A file without a mark whose bytes are valid UTF-8
// with at least one character beyond ASCII is UTF-8 too, and gets no mark. A file that starts with
// FE FF (UTF-16 BE) or does not decode in its declared encoding is never rewritten and reads as
// empty. Names and values here are UTF-8; text a Windows-1252 file cannot hold becomes "?".

// The file's text as FindValue and RewriteEntry see it (UTF-8 for a file with a mark, without
// the mark); nullopt when it cannot be decoded.
std::optional<std::string> FileText(std::string_view file_bytes);

// The entry's value cut to kMaxValueLength characters; nullopt when it is missing.
std::optional<std::string> ReadEntry(std::string_view file_bytes, std::string_view section,
                                     std::string_view entry);

// A whole file decoded and indexed once, for the many reads of a run.
class ParsedFile {
 public:
  explicit ParsedFile(std::string_view file_bytes);
  ParsedFile(const ParsedFile&) = delete;
  ParsedFile& operator=(const ParsedFile&) = delete;

  // As ReadEntry on the file's bytes.
  std::optional<std::string> ReadEntry(std::string_view section, std::string_view entry) const;

 private:
  bool decoded_ = false;
  bool windows_1252_ = true;
  std::string text_;
  std::optional<SectionIndex> index_;  // of text_
};

// The file's bytes after writing entry=value, in the file's own encoding. nullopt when the file
// must not be rewritten: it cannot be decoded, or the names or the value would break its lines
// or could not be found again (a line break anywhere, a blank name, "]" in the section, "=" in
// the entry or "[" or ";" at its start).
std::optional<std::string> WriteEntry(std::string_view file_bytes, std::string_view section,
                                      std::string_view entry, std::string_view value);

}  // namespace ini
