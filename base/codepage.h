// Text conversions: the program keeps UTF-8, files and profile functions speak Windows-1252.
// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The program keeps its text as UTF-8; files and the profile functions speak Windows-1252.
namespace text {

// Characters that Windows-1252 lacks, and bytes that are not valid UTF-8, become "?".
std::string Utf8ToWindows1252(std::string_view utf8);

// Every byte maps to a character; the five bytes that Windows-1252 leaves undefined map to
// the control characters of the same number, so any file round-trips.
std::string Windows1252ToUtf8(std::string_view bytes);

// Upper case for the letters Windows-1252 knows (ASCII, Latin-1, Š Œ Ž Ÿ); other text unchanged.
std::string UpperCase(std::string_view utf8);

// Decodes UTF-8 to code points; invalid bytes become "?".
std::u32string DecodeUtf8(std::string_view utf8);
std::string EncodeUtf8(std::u32string_view text);

// A byte that starts no valid UTF-8 sequence reads as this plus the byte: a lone surrogate, which
// valid UTF-8 never holds, so such bytes compare only with themselves.
inline constexpr char32_t kInvalidUtf8 = 0xDC00;

// The code point of the UTF-8 sequence at `i`, advancing `i` past it (one byte when invalid).
char32_t NextCodePoint(std::string_view utf8, std::size_t& i);
bool IsUtf8(std::string_view bytes);

// UTF-16 of UTF-8 text (invalid bytes become "?"), and back: a lone surrogate becomes "?" and,
// when `clean` is given, makes it false.
std::u16string Utf16Of(std::string_view utf8);
std::string Utf8OfUtf16(std::u16string_view utf16, bool* clean = nullptr);

// UTF-8 and the platform's wide text (UTF-16 on Windows, where the system speaks it).
std::wstring WideOf(std::string_view utf8);
std::string Utf8OfWide(std::wstring_view wide);

char32_t UpperCodePoint(char32_t c);
char32_t LowerCodePoint(char32_t c);

}  // namespace text
