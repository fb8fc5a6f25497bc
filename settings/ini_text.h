// INI files as the Windows profile functions see them, worked on in memory.
// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

// INI files as the Windows profile functions see them, worked on in memory.
//
// Lines end at CR LF, LF or a lone CR. "[name]" opens a section (a header without "]" is named
// by the rest of its line); "name=value" is an entry; a line starting with ";" is a comment.
// Spaces, tabs and vertical tabs around lines, names and values do not count. Names match
// without regard to case; the names passed in are compared without their surrounding blanks.
// Entries above the first header belong to no section and are never found. Only the first
// section of a name is looked at, and within it the first entry of a name.
namespace ini {

// GetPrivateProfileString hands out at most this many characters.
inline constexpr std::size_t kMaxValueLength = 254;

// What the core's bytes are: raw Windows-1252 bytes, or UTF-8 (files with a byte order mark).
enum class Charset { kWindows1252, kUtf8 };

// Without the spaces, tabs and vertical tabs around it.
std::string_view TrimBlanks(std::string_view s);

// True when the names are equal apart from the case of their letters.
bool NamesEqual(std::string_view a, std::string_view b, Charset charset = Charset::kWindows1252);

// The entry's value: trimmed, one pair of matching quotes ("..." or '...') removed, then cut at
// the first NUL. Not cut to kMaxValueLength. nullopt when the section or the entry is missing;
// a blank value gives "".
std::optional<std::string> FindValue(std::string_view file_bytes, std::string_view section,
                                     std::string_view entry,
                                     Charset charset = Charset::kWindows1252);

// The first section of each name in a text, found in one pass, so that many reads of one text
// each look at their section only. The text must outlive the index.
class SectionIndex {
 public:
  SectionIndex(std::string_view file_bytes, Charset charset);
  // As FindValue on the whole text.
  std::optional<std::string> FindValue(std::string_view section, std::string_view entry) const;

 private:
  std::string_view bytes_;
  Charset charset_;
  // A name as NamesEqual compares it, to the section's header line and all up to the next one.
  std::unordered_map<std::string, std::string_view> sections_;
};

// The text after writing entry=value into the section. An existing entry whose value reads as
// `value` already stays as it is; otherwise it keeps its line up to and including the "=" and
// gets the new value; a new entry follows the section's last entry
// (or its header); a new section goes at the end. New lines use the text's first line end (CR LF
// when it has none). New names are written without their surrounding blanks, the value exactly
// as given; every other byte stays. Empty text yields "[section]" CR LF "entry=value" CR LF.
std::string RewriteEntry(std::string_view file_bytes, std::string_view section,
                         std::string_view entry, std::string_view value,
                         Charset charset = Charset::kWindows1252);

// A value read as an integer the way GetPrivateProfileInt does: leading blanks, an optional
// sign, then decimal digits, or "0x", "0o" or "0b" (lower case only) and digits of that base, up
// to the first other character; wraps modulo 2^32. No digits give 0; telling "" from missing is
// the caller's job.
std::int32_t ParseProfileInt(std::string_view value);
}  // namespace ini
