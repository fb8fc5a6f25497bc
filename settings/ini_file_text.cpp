// Whole files: the encodings around the line model.
// SPDX-License-Identifier: MIT
#include "settings/ini_file_text.h"

#include <algorithm>
#include <optional>
#include <string>

#include "base/codepage.h"
#include "settings/ini_text.h"

namespace ini {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

// kUtf8Unmarked: what a Linux editor saves. Windows-1252 text with a character beyond ASCII
// is almost never valid UTF-8, so such a file is taken for UTF-8; one of pure ASCII is both.
enum class Encoding { kWindows1252, kUtf8, kUtf8Unmarked, kUtf16Le, kUnknown };

Encoding EncodingOf(std::string_view bytes) {
  if (bytes.starts_with(kUtf16LeMark)) return Encoding::kUtf16Le;
  if (bytes.starts_with(kUtf16BeMark)) return Encoding::kUnknown;
  if (bytes.starts_with(kUtf8Mark)) return Encoding::kUtf8;
  const bool beyond_ascii =
      std::any_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; });
  return beyond_ascii && text::IsUtf8(bytes) ? Encoding::kUtf8Unmarked : Encoding::kWindows1252;
}

std::optional<std::string> Utf16LeToUtf8(std::string_view bytes) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  std::u16string units(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  }
  bool clean = true;
  std::string text = text::Utf8OfUtf16(units, &clean);
  if (!clean) return std::nullopt;
  return text;
}

std::string Utf8ToUtf16Le(std::string_view utf8) {
  std::string out;
  for (const char16_t unit : text::Utf16Of(utf8)) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>(unit >> 8));
  }
  return out;
}

// A file's text as the core sees it, with what it takes to turn it back into the file.
struct Decoded {
  Encoding encoding = Encoding::kWindows1252;
  std::string text;
};

std::optional<Decoded> Decode(std::string_view bytes) {
  switch (EncodingOf(bytes)) {
    case Encoding::kWindows1252:
      return Decoded{Encoding::kWindows1252, std::string(bytes)};
    case Encoding::kUtf8: {
      const std::string_view body = bytes.substr(kUtf8Mark.size());
      if (!text::IsUtf8(body)) return std::nullopt;
      return Decoded{Encoding::kUtf8, std::string(body)};
    }
    case Encoding::kUtf8Unmarked:
      return Decoded{Encoding::kUtf8Unmarked, std::string(bytes)};
    case Encoding::kUtf16Le: {
      std::optional<std::string> body = Utf16LeToUtf8(bytes.substr(kUtf16LeMark.size()));
      if (!body) return std::nullopt;
      return Decoded{Encoding::kUtf16Le, std::move(*body)};
    }
    case Encoding::kUnknown:
      break;
  }
  return std::nullopt;
}

std::string Encode(Encoding encoding, std::string_view text) {
  switch (encoding) {
    case Encoding::kUtf8:
      return std::string(kUtf8Mark).append(text);
    case Encoding::kUtf16Le:
      return std::string(kUtf16LeMark).append(Utf8ToUtf16Le(text));
    default:
      return std::string(text);
  }
}

// Text handed in, in the core's terms for a file of this encoding.
std::string ForCore(Encoding encoding, std::string_view utf8) {
  if (encoding == Encoding::kWindows1252) return text::Utf8ToWindows1252(utf8);
  return text::EncodeUtf8(text::DecodeUtf8(utf8));  // broken UTF-8 becomes "?"
}

Charset CharsetOf(Encoding encoding) {
  return encoding == Encoding::kWindows1252 ? Charset::kWindows1252 : Charset::kUtf8;
}

bool Findable(std::string_view section, std::string_view entry, std::string_view value) {
  auto breaks_line = [](std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
  };
  section = TrimBlanks(section);
  entry = TrimBlanks(entry);
  return !section.empty() && !entry.empty() && !breaks_line(section) && !breaks_line(entry) &&
         !breaks_line(value) && section.find(']') == std::string_view::npos &&
         entry.find('=') == std::string_view::npos && entry.front() != '[' && entry.front() != ';';
}

// A value found, as a read hands it out: cut to kMaxValueLength characters, in UTF-8.
std::optional<std::string> AsReturned(std::optional<std::string> value, bool windows_1252) {
  if (!value) return std::nullopt;
  if (windows_1252) {
    if (value->size() > kMaxValueLength) value->resize(kMaxValueLength);
    return text::Windows1252ToUtf8(*value);
  }
  std::size_t end = 0;
  for (std::size_t count = 0; end < value->size() && count < kMaxValueLength; ++count) {
    text::NextCodePoint(*value, end);
  }
  value->resize(end);
  return value;
}

}  // namespace

std::optional<std::string> FileText(std::string_view file_bytes) {
  std::optional<Decoded> file = Decode(file_bytes);
  if (!file) return std::nullopt;
  return std::move(file->text);
}

std::optional<std::string> ReadEntry(std::string_view file_bytes, std::string_view section,
                                     std::string_view entry) {
  const std::optional<Decoded> file = Decode(file_bytes);
  if (!file) return std::nullopt;
  return AsReturned(FindValue(file->text, ForCore(file->encoding, section),
                              ForCore(file->encoding, entry), CharsetOf(file->encoding)),
                    file->encoding == Encoding::kWindows1252);
}

ParsedFile::ParsedFile(std::string_view file_bytes) {
  std::optional<Decoded> file = Decode(file_bytes);
  if (!file) return;
  decoded_ = true;
  windows_1252_ = file->encoding == Encoding::kWindows1252;
  text_ = std::move(file->text);
  index_.emplace(text_, CharsetOf(file->encoding));
}

std::optional<std::string> ParsedFile::ReadEntry(std::string_view section,
                                                 std::string_view entry) const {
  if (!decoded_) return std::nullopt;
  const Encoding encoding = windows_1252_ ? Encoding::kWindows1252 : Encoding::kUtf8;
  return AsReturned(index_->FindValue(ForCore(encoding, section), ForCore(encoding, entry)),
                    windows_1252_);
}

std::optional<std::string> WriteEntry(std::string_view file_bytes, std::string_view section,
                                      std::string_view entry, std::string_view value) {
  const std::optional<Decoded> file = Decode(file_bytes);
  if (!file) return std::nullopt;
  const Encoding encoding = file->encoding;
  const std::string core_section = ForCore(encoding, section);
  const std::string core_entry = ForCore(encoding, entry);
  const std::string core_value = ForCore(encoding, value);
  if (!Findable(core_section, core_entry, core_value)) return std::nullopt;
  return Encode(encoding, RewriteEntry(file->text, core_section, core_entry, core_value,
                                       CharsetOf(encoding)));
}

}  // namespace ini
