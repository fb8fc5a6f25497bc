#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The profile-file primitives the INI access procedures stand on. Text is UTF-8 here and
// Windows-1252 (the ANSI code page on Windows) in the file. Every call reads the file afresh.
namespace ini {

// The entry's value, trimmed and with one pair of surrounding quotes removed, cut to 254
// characters; "" when the file, the section or the entry is missing or the value is blank.
// Section and entry names match without regard to case.
std::string ReadProfileString(const std::string& file_name, std::string_view section,
                              std::string_view entry);

// The entry's value parsed as the platform does ("12abc" 12, "abc" 0, "0x1F" 31, wrapped to
// 32 bits); `fallback` when the file, the section or the entry is missing or the value is blank.
std::int32_t ReadProfileInt(const std::string& file_name, std::string_view section,
                            std::string_view entry, std::int32_t fallback);

// Writes entry=value into the section, creating the file, the section or the entry as needed;
// every other byte of the file stays as it was and the file is replaced atomically (on Windows
// the system's profile functions write, by their own rules).
// False when nothing was written; the old file is then untouched.
bool WriteProfileString(const std::string& file_name, std::string_view section,
                        std::string_view entry, std::string_view value);

}  // namespace ini
