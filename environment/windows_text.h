// Windows only: text as the system hands it over and takes it back.
// SPDX-License-Identifier: MIT
#pragma once

// Windows only: text as the system hands it over and takes it back.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The system's conversion from UTF-16 to a code page (WideCharToMultiByte without flags): a
// result of 0 is a refusal. Tests put in Windows' own refusals where Wine converts anyway.
using AnsiConversion = int (*)(unsigned code_page, const wchar_t* wide, int length, char* bytes,
                               int size, const char* default_char);
int SystemAnsiConversion(unsigned code_page, const wchar_t* wide, int length, char* bytes, int size,
                         const char* default_char);

// UTF-8 text in `code_page`, characters it lacks as "?"; nullopt when the system converts
// nothing.
std::optional<std::string> AnsiTextIn(std::string_view utf8, unsigned code_page,
                                      AnsiConversion conversion = &SystemAnsiConversion);

// The variables of an environment block (entries ended by NUL, the block by a second NUL) in
// their order, leaving out the entries that begin with "=".
std::vector<std::string> EnvironmentOfBlock(const wchar_t* block);
