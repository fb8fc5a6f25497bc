// Windows only: text conversion to the ANSI code page and the environment block.
// SPDX-License-Identifier: MIT
#include "environment/windows_text.h"

#include <windows.h>

#include <cwchar>

#include "base/codepage.h"

int SystemAnsiConversion(unsigned code_page, const wchar_t* wide, int length, char* bytes, int size,
                         const char* default_char) {
  return WideCharToMultiByte(code_page, 0, wide, length, bytes, size, default_char, nullptr);
}

std::optional<std::string> AnsiTextIn(std::string_view utf8, unsigned code_page,
                                      AnsiConversion conversion) {
  const std::wstring wide = text::WideOf(utf8);
  if (wide.empty()) return std::string();
  // UTF-8 ("Use Unicode UTF-8 for worldwide language support") and UTF-7 refuse a default
  // character: asked for one, the system converts nothing.
  const char* default_char = code_page == CP_UTF8 || code_page == CP_UTF7 ? nullptr : "?";
  const int length = static_cast<int>(wide.size());
  const int size = conversion(code_page, wide.data(), length, nullptr, 0, default_char);
  if (size <= 0) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (conversion(code_page, wide.data(), length, bytes.data(), size, default_char) != size) {
    return std::nullopt;
  }
  return bytes;
}

std::vector<std::string> EnvironmentOfBlock(const wchar_t* block) {
  std::vector<std::string> variables;
  if (block == nullptr) return variables;
  for (const wchar_t* entry = block; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
    // "=C:=C:\Plant", "=::=::\": the drives' current folders of whatever started the program.
    // No variables (`set` and the C runtime leave them out), and they change with every start.
    if (*entry != L'=') variables.push_back(text::Utf8OfWide(entry));
  }
  return variables;
}
