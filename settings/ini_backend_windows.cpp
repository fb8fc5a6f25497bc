// The profile functions of Windows in their wide forms, behind the INI backend.
// SPDX-License-Identifier: MIT
#include <windows.h>
// windows.h names the win.ini writer so; ours is the one in ini_backend.h.
#undef WriteProfileString

#include <array>

#include "base/codepage.h"
#include "settings/ini_backend.h"

// The profile functions of kernel32 in their wide forms: a path the ANSI code page cannot spell
// still opens, and for an ANSI file Windows writes the same bytes as the narrow forms do.
namespace ini {

namespace {

// 255 characters with the terminator, as the program has always read: at most 254 come back.
constexpr DWORD kValueBuffer = 255;

std::wstring Wide(std::string_view utf8) {
  return text::WideOf(utf8);
}

// Windows' profile functions know no UTF-8 mark: they read the mark into the first line, so a
// section there is never found, and a write would add a second one holding only the new entry.
bool StartsWithUtf8Mark(const std::wstring& file_name) {
  HANDLE file = CreateFileW(file_name.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;  // the write itself finds out why
  std::array<unsigned char, 3> start{};
  DWORD read = 0;
  const bool ok =
      ReadFile(file, start.data(), static_cast<DWORD>(start.size()), &read, nullptr) != 0;
  CloseHandle(file);
  return ok && read == start.size() && start[0] == 0xEF && start[1] == 0xBB && start[2] == 0xBF;
}

}  // namespace

std::string ReadProfileString(const std::string& file_name, std::string_view section,
                              std::string_view entry) {
  // Without a file name Windows would read its own win.ini.
  if (file_name.empty()) return {};
  std::array<wchar_t, kValueBuffer> buffer{};
  // An empty default, not blanks: Wine keeps one blank of an all-blank default, and a missing
  // entry must read as "".
  const DWORD length =
      GetPrivateProfileStringW(Wide(section).c_str(), Wide(entry).c_str(), L"", buffer.data(),
                               kValueBuffer, Wide(file_name).c_str());
  return text::Utf8OfWide(std::wstring_view(buffer.data(), length));
}

std::int32_t ReadProfileInt(const std::string& file_name, std::string_view section,
                            std::string_view entry, std::int32_t fallback) {
  if (file_name.empty()) return fallback;
  return static_cast<std::int32_t>(GetPrivateProfileIntW(Wide(section).c_str(), Wide(entry).c_str(),
                                                         fallback, Wide(file_name).c_str()));
}

bool WriteProfileString(const std::string& file_name, std::string_view section,
                        std::string_view entry, std::string_view value) {
  // Without a file name Windows would write into its own win.ini.
  if (file_name.empty()) return false;
  const std::wstring file = Wide(file_name);
  if (StartsWithUtf8Mark(file)) return false;
  return WritePrivateProfileStringW(Wide(section).c_str(), Wide(entry).c_str(), Wide(value).c_str(),
                                    file.c_str()) != 0;
}

}  // namespace ini
