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

// The first bytes of a file; fewer when it is shorter or cannot be read.
std::string StartOf(const std::wstring& file_name) {
  HANDLE file = CreateFileW(file_name.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};  // the write itself finds out why
  std::array<char, 3> start{};
  DWORD read = 0;
  if (ReadFile(file, start.data(), static_cast<DWORD>(start.size()), &read, nullptr) == 0) {
    read = 0;
  }
  CloseHandle(file);
  return {start.data(), read};
}

// Whether the ANSI code page gives back what it was given: the profile functions store any other
// letter as a look-alike or "?", and an entry so stored is never found by its name.
bool AnsiHolds(const std::wstring& text) {
  if (text.empty()) return true;
  const int length = static_cast<int>(text.size());
  std::string ansi(static_cast<std::size_t>(length) * 2, '\0');
  const int bytes = WideCharToMultiByte(CP_ACP, 0, text.data(), length, ansi.data(),
                                        static_cast<int>(ansi.size()), nullptr, nullptr);
  std::wstring back(text.size(), L'\0');
  return bytes > 0 &&
         MultiByteToWideChar(CP_ACP, 0, ansi.data(), bytes, back.data(), length) == length &&
         back == text;
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
  const std::wstring wide_section = Wide(section);
  const std::wstring wide_entry = Wide(entry);
  const std::wstring wide_value = Wide(value);
  // Windows' profile functions know no UTF-8 mark: they read the mark into the first line, so a
  // section there is never found, and a write would add a second one holding only the new entry.
  const std::string start = StartOf(file);
  if (start == "\xEF\xBB\xBF") return false;
  if (!start.starts_with("\xFF\xFE") &&
      !(AnsiHolds(wide_section) && AnsiHolds(wide_entry) && AnsiHolds(wide_value))) {
    return false;
  }
  return WritePrivateProfileStringW(wide_section.c_str(), wide_entry.c_str(), wide_value.c_str(),
                                    file.c_str()) != 0;
}

bool CreateProfileForAnyText(const std::string& file_name) {
  if (file_name.empty()) return false;
  HANDLE file = CreateFileW(Wide(file_name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_EXISTS;
  constexpr std::string_view kMark = "\xFF\xFE";
  DWORD written = 0;
  const bool made =
      WriteFile(file, kMark.data(), static_cast<DWORD>(kMark.size()), &written, nullptr) != 0 &&
      written == kMark.size();
  CloseHandle(file);
  return made;
}

}  // namespace ini
