// The profile-file primitives the INI access stands on: read and write one entry.
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The profile-file primitives the INI access procedures stand on. Text is UTF-8 here; in the file
// it is Windows-1252 (the ANSI code page on Windows), or UTF-8 or UTF-16 LE behind a byte order
// mark. Linux: a read parses the file only when it changed since the run last parsed it; a file
// over 64 MiB is neither read nor written: the first call of the run that meets it throws a
// RuntimeError naming it, every later one reads it as missing and writes nothing.
namespace ini {

// The entry's value, trimmed and with one pair of surrounding quotes removed, cut to 254
// characters; "" when the file, the section or the entry is missing, the value is blank or the
// file cannot be decoded.
// Section and entry names match without regard to case.
std::string ReadProfileString(const std::string& file_name, std::string_view section,
                              std::string_view entry);

// The entry's value parsed as the platform does ("12abc" 12, "abc" 0, "0x1F" 31, wrapped to
// 32 bits); `fallback` when the file, the section or the entry is missing or the value is blank.
std::int32_t ReadProfileInt(const std::string& file_name, std::string_view section,
                            std::string_view entry, std::int32_t fallback);

// Writes entry=value into the section, creating the file, the section or the entry as needed;
// every other byte of the file stays as it was, in the file's own encoding, and the file is
// replaced atomically: a reader, or a crash at any moment, sees the old file or the new one. A
// file the new one could not stand in for (a second hard link, an owner, group, extended
// attribute or inode flag the writer cannot give it) or that cannot be replaced (a folder the
// writer cannot write, a file mounted over its name) is written in place instead. Links are
// followed by the kernel, by its rules. Writers of this program take turns; the waits of a run
// together are bounded, and one that waits too long gives up. A write that would change no byte
// leaves the file alone and waits for nobody. (On Windows the system's profile functions write,
// by their own rules, and never into a file that starts with the UTF-8 mark, which they cannot
// read.) False when nothing was written (also for a file that cannot be decoded, see
// ini_text.h): the old file is then untouched; and false when the new content is in place but
// its folder could not be synced.
bool WriteProfileString(const std::string& file_name, std::string_view section,
                        std::string_view entry, std::string_view value);

// Creates a missing file empty, in an encoding that holds any text, and leaves an existing one
// alone. On Windows that is UTF-16 LE behind its mark: the profile functions keep writing it so,
// while a file they create is in the ANSI code page, where a key with a letter the code page
// lacks could be written but never found. Elsewhere nothing is needed. False when a missing file
// could not be made.
bool CreateProfileForAnyText(const std::string& file_name);

}  // namespace ini
