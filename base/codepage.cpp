// Conversions between UTF-8 and Windows-1252, and upper case in that code page.
// SPDX-License-Identifier: MIT
#include "base/codepage.h"

#include <array>

namespace text {
namespace {

// Code points of bytes 0x80..0x9F; the undefined ones keep their own number.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t FromByte(unsigned char b) {
  if (b >= 0x80 && b <= 0x9F) return kHighControls[b - 0x80];
  return b;
}

int ToByte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == c) return static_cast<int>(0x80 + i);
  }
  return -1;
}

}  // namespace

char32_t NextCodePoint(std::string_view utf8, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(utf8[i]);
  int extra = 0;
  char32_t cp = lead;
  char32_t min = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1, cp = lead & 0x1FU, min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2, cp = lead & 0x0FU, min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3, cp = lead & 0x07U, min = 0x10000;
  } else if (lead >= 0x80) {
    ++i;
    return kInvalidUtf8 + lead;
  }
  if (utf8.size() - i <= static_cast<std::size_t>(extra)) {
    ++i;
    return kInvalidUtf8 + lead;
  }
  for (int k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return kInvalidUtf8 + lead;
    }
    cp = (cp << 6) | (b & 0x3FU);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return kInvalidUtf8 + lead;
  }
  i += static_cast<std::size_t>(extra) + 1;
  return cp;
}

namespace {

bool IsInvalid(char32_t cp) {
  return cp >= kInvalidUtf8 + 0x80 && cp <= kInvalidUtf8 + 0xFF;
}

}  // namespace

bool IsUtf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    if (IsInvalid(NextCodePoint(bytes, i))) return false;
  }
  return true;
}

std::u32string DecodeUtf8(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const char32_t cp = NextCodePoint(utf8, i);
    out.push_back(IsInvalid(cp) ? U'?' : cp);
  }
  return out;
}

std::string EncodeUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::u16string Utf16Of(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (char32_t c : DecodeUtf8(utf8)) {
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

std::string Utf8OfUtf16(std::u16string_view utf16, bool* clean) {
  std::u32string points;
  points.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t c = utf16[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size()) {
      const char32_t low = utf16[i + 1];
      if (low >= 0xDC00 && low <= 0xDFFF) {
        points.push_back(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    if (c >= 0xD800 && c <= 0xDFFF) {
      c = U'?';
      if (clean != nullptr) *clean = false;
    }
    points.push_back(c);
  }
  return EncodeUtf8(points);
}

std::wstring WideOf(std::string_view utf8) {
  if constexpr (sizeof(wchar_t) == 2) {
    const std::u16string utf16 = Utf16Of(utf8);
    return std::wstring(utf16.begin(), utf16.end());
  }
  const std::u32string points = DecodeUtf8(utf8);
  return std::wstring(points.begin(), points.end());
}

std::string Utf8OfWide(std::wstring_view wide) {
  if constexpr (sizeof(wchar_t) == 2) return Utf8OfUtf16(std::u16string(wide.begin(), wide.end()));
  return EncodeUtf8(std::u32string(wide.begin(), wide.end()));
}

std::string Utf8ToWindows1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (char32_t c : DecodeUtf8(utf8)) {
    const int b = ToByte(c);
    out.push_back(b < 0 ? '?' : static_cast<char>(b));
  }
  return out;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
  std::u32string wide;
  wide.reserve(bytes.size());
  for (char ch : bytes) wide.push_back(FromByte(static_cast<unsigned char>(ch)));
  return EncodeUtf8(wide);
}

char32_t UpperCodePoint(char32_t c) {
  if (c >= U'a' && c <= U'z') return c - 0x20;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  switch (c) {
    case 0x00FF:
      return 0x0178;
    case 0x0161:
      return 0x0160;
    case 0x0153:
      return 0x0152;
    case 0x017E:
      return 0x017D;
    default:
      return c;
  }
}

char32_t LowerCodePoint(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 0x20;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  switch (c) {
    case 0x0178:
      return 0x00FF;
    case 0x0160:
      return 0x0161;
    case 0x0152:
      return 0x0153;
    case 0x017D:
      return 0x017E;
    default:
      return c;
  }
}

std::string UpperCase(std::string_view utf8) {
  bool ascii = true;
  for (char ch : utf8) ascii = ascii && static_cast<unsigned char>(ch) < 0x80;
  if (ascii) {
    std::string out(utf8);
    for (char& ch : out) {
      if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 0x20);
    }
    return out;
  }
  std::u32string wide = DecodeUtf8(utf8);
  for (char32_t& c : wide) c = UpperCodePoint(c);
  return EncodeUtf8(wide);
}

}  // namespace text
