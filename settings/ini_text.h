#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// INI files as the Windows profile functions see them, worked on in memory. All text here is
// raw file bytes (Windows-1252); names and values passed in are bytes of the same kind.
//
// Lines end at CR LF, LF or a lone CR. "[name]" opens a section (a header without "]" is named
// by the rest of its line); "name=value" is an entry; a line starting with ";" is a comment.
// Spaces and tabs around names and values do not count. Names match without regard to case,
// Windows-1252 letters included; the names passed in are compared without their surrounding
// blanks. Entries above the first header belong to no section and are never found. Only the
// first section of a name is looked at, and within it the first entry of a name.
namespace ini {

// GetPrivateProfileString hands out at most this many characters.
inline constexpr std::size_t kMaxValueLength = 254;

// True when the names are equal apart from the case of their letters.
bool NamesEqual(std::string_view a, std::string_view b);

// The entry's value: trimmed, one pair of matching quotes ("..." or '...') removed, then cut at
// the first NUL byte. Not cut to kMaxValueLength. nullopt when the section or the entry is
// missing; a blank value gives "".
std::optional<std::string> FindValue(std::string_view file_bytes, std::string_view section,
                                     std::string_view entry);

// The file after writing entry=value into the section. An existing entry keeps its line up to
// and including the "=" and gets the new value; a new entry follows the section's last entry
// (or its header); a new section goes at the end. New lines use the file's first line end (CR LF
// when it has none). Value and new names are written exactly as given; every other byte stays.
// Empty input yields a new file: "[section]" CR LF "entry=value" CR LF.
std::string RewriteEntry(std::string_view file_bytes, std::string_view section,
                         std::string_view entry, std::string_view value);

// A value read as an integer the way GetPrivateProfileInt does: leading blanks, an optional
// sign, then decimal digits or "0x" and hex digits, up to the first other character; wraps
// modulo 2^32. Anything without digits gives 0; telling "" from missing is the caller's job.
std::int32_t ParseProfileInt(std::string_view value);

}  // namespace ini
