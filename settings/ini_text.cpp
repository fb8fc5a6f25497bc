#include "settings/ini_text.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>

#include "base/codepage.h"

namespace ini {
namespace {

constexpr std::array<unsigned char, 256> MakeFoldTable() {
  std::array<unsigned char, 256> table{};
  for (unsigned b = 0; b < 256; ++b) {
    unsigned folded = b;
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) folded = b + 0x20;
    if (b == 0x8A || b == 0x8C || b == 0x8E) folded = b + 0x10;  // Š Œ Ž
    if (b == 0x9F) folded = 0xFF;                                // Ÿ
    table[b] = static_cast<unsigned char>(folded);
  }
  return table;
}

constexpr std::array<unsigned char, 256> kFold = MakeFoldTable();

// Stands for a byte that is not part of valid UTF-8: a lone surrogate, which valid UTF-8 never
// holds, so such bytes compare only with themselves.
constexpr char32_t kBadByte = 0xDC00;

// The code point starting at `i`, advancing `i` past it.
char32_t NextCodePoint(std::string_view s, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(s[i]);
  int extra = 0;
  char32_t cp = lead;
  char32_t min = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1, cp = lead & 0x1Fu, min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2, cp = lead & 0x0Fu, min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3, cp = lead & 0x07u, min = 0x10000;
  } else if (lead >= 0x80) {
    ++i;
    return kBadByte + lead;
  }
  if (s.size() - i <= static_cast<std::size_t>(extra)) {
    ++i;
    return kBadByte + lead;
  }
  for (int k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return kBadByte + lead;
    }
    cp = (cp << 6) | (b & 0x3Fu);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return kBadByte + lead;
  }
  i += static_cast<std::size_t>(extra) + 1;
  return cp;
}

bool IsUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const char32_t cp = NextCodePoint(s, i);
    if (cp >= kBadByte + 0x80 && cp <= kBadByte + 0xFF) return false;
  }
  return true;
}

std::uint32_t DigitValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<std::uint32_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<std::uint32_t>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<std::uint32_t>(c - 'A' + 10);
  return 99;
}

constexpr std::string_view kBlanks = " \t\v";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Offsets into the file: [begin, end) is the line's text, [end, next) its line end (empty only
// for a last line without one).
struct Line {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::size_t next = 0;
};

class LineReader {
 public:
  explicit LineReader(std::string_view bytes)
      : bytes_(bytes), next_cr_(Find('\r', 0)), next_lf_(Find('\n', 0)) {}

  bool Next(Line& line) {
    if (pos_ >= bytes_.size()) return false;
    // Each of CR and LF is searched for once per byte: a file of lone-CR lines must not be
    // rescanned to its end for an LF on every line.
    if (next_cr_ < pos_) next_cr_ = Find('\r', pos_);
    if (next_lf_ < pos_) next_lf_ = Find('\n', pos_);
    const std::size_t end = std::min(next_cr_, next_lf_);
    line.begin = pos_;
    line.end = end;
    pos_ = end;
    if (end < bytes_.size()) {
      pos_ += (bytes_[end] == '\r' && end + 1 < bytes_.size() && bytes_[end + 1] == '\n') ? 2 : 1;
    }
    line.next = pos_;
    return true;
  }

 private:
  std::size_t Find(char c, std::size_t from) const {
    if (from >= bytes_.size()) return bytes_.size();
    const void* hit = std::memchr(bytes_.data() + from, c, bytes_.size() - from);
    return hit == nullptr ? bytes_.size() : static_cast<const char*>(hit) - bytes_.data();
  }

  std::string_view bytes_;
  std::size_t pos_ = 0;
  std::size_t next_cr_;
  std::size_t next_lf_;
};

enum class Kind { kOther, kHeader, kEntry };

struct Parsed {
  Kind kind = Kind::kOther;
  std::string_view name;
  std::string_view value;  // entries only
  std::size_t equals = 0;  // entries only: offset of the "=" within the line
};

Parsed Parse(std::string_view text) {
  Parsed p;
  const std::size_t first = text.find_first_not_of(kBlanks);
  // Comments count as neither header nor entry, whatever they hold.
  if (first == std::string_view::npos || text[first] == ';') return p;
  if (text[first] == '[') {
    p.kind = Kind::kHeader;
    std::string_view rest = text.substr(first + 1);
    p.name = Trim(rest.substr(0, rest.find(']')));
  } else if (const std::size_t eq = text.find('='); eq != std::string_view::npos) {
    p.kind = Kind::kEntry;
    p.name = Trim(text.substr(0, eq));
    p.value = Trim(text.substr(eq + 1));
    p.equals = eq;
  }
  return p;
}

struct Location {
  std::optional<Line> header;      // the first header of the section
  std::optional<Line> last_entry;  // the section's last entry line, when nothing matched
  std::optional<Line> match;       // the first entry of the name in that section
  Parsed match_parsed;
};

// One pass, stopping at the match or at the end of the first section of the name.
Location Locate(std::string_view bytes, std::string_view section, std::string_view entry,
                Charset charset) {
  section = Trim(section);
  entry = Trim(entry);
  Location loc;
  LineReader reader(bytes);
  Line line;
  while (reader.Next(line)) {
    const Parsed p = Parse(bytes.substr(line.begin, line.end - line.begin));
    if (p.kind == Kind::kHeader) {
      if (loc.header) break;
      if (NamesEqual(p.name, section, charset)) loc.header = line;
    } else if (p.kind == Kind::kEntry && loc.header) {
      if (NamesEqual(p.name, entry, charset)) {
        loc.match = line;
        loc.match_parsed = p;
        break;
      }
      loc.last_entry = line;
    }
  }
  return loc;
}

std::string_view DetectLineEnd(std::string_view bytes) {
  const std::size_t i = bytes.find_first_of("\r\n");
  if (i == std::string_view::npos) return "\r\n";
  if (bytes[i] == '\n') return "\n";
  return (i + 1 < bytes.size() && bytes[i + 1] == '\n') ? "\r\n" : "\r";
}

std::string Concat(std::initializer_list<std::string_view> parts) {
  std::size_t size = 0;
  for (std::string_view part : parts) size += part.size();
  std::string out;
  out.reserve(size);
  for (std::string_view part : parts) out.append(part);
  return out;
}

}  // namespace

bool NamesEqual(std::string_view a, std::string_view b, Charset charset) {
  if (a.size() != b.size()) return false;
  if (charset == Charset::kUtf8) {
    // Case pairs of the letters folded here have UTF-8 forms of equal length.
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
      if (text::LowerCodePoint(NextCodePoint(a, i)) != text::LowerCodePoint(NextCodePoint(b, j))) {
        return false;
      }
    }
    return i == a.size() && j == b.size();
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (kFold[static_cast<unsigned char>(a[i])] != kFold[static_cast<unsigned char>(b[i])]) {
      return false;
    }
  }
  return true;
}

std::optional<std::string> FindValue(std::string_view file_bytes, std::string_view section,
                                     std::string_view entry, Charset charset) {
  const Location loc = Locate(file_bytes, section, entry, charset);
  if (!loc.match) return std::nullopt;
  std::string_view value = loc.match_parsed.value;
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  // Callers get a C string, which ends at the first NUL.
  return std::string(value.substr(0, value.find('\0')));
}

std::string RewriteEntry(std::string_view file_bytes, std::string_view section,
                         std::string_view entry, std::string_view value, Charset charset) {
  section = Trim(section);
  entry = Trim(entry);
  const std::string_view eol = DetectLineEnd(file_bytes);
  if (file_bytes.empty()) return Concat({"[", section, "]", eol, entry, "=", value, eol});

  const Location loc = Locate(file_bytes, section, entry, charset);
  if (loc.match) {
    const std::size_t value_begin = loc.match->begin + loc.match_parsed.equals + 1;
    return Concat({file_bytes.substr(0, value_begin), value, file_bytes.substr(loc.match->end)});
  }
  if (loc.header) {
    const Line& anchor = loc.last_entry ? *loc.last_entry : *loc.header;
    const std::string_view anchor_eol = anchor.next == anchor.end ? eol : std::string_view();
    return Concat({file_bytes.substr(0, anchor.next), anchor_eol, entry, "=", value, eol,
                   file_bytes.substr(anchor.next)});
  }
  const char last = file_bytes.back();
  const std::string_view final_eol = (last == '\r' || last == '\n') ? std::string_view() : eol;
  return Concat({file_bytes, final_eol, "[", section, "]", eol, entry, "=", value, eol});
}

std::int32_t ParseProfileInt(std::string_view value) {
  std::size_t i = 0;
  while (i < value.size() && IsBlank(value[i])) ++i;
  bool negative = false;
  if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';

  std::uint32_t base = 10;
  if (i + 1 < value.size() && value[i] == '0') {
    // Only lower-case prefixes count, as on the platform: "0X1F" is 0 followed by junk.
    if (value[i + 1] == 'x') base = 16;
    if (value[i + 1] == 'o') base = 8;
    if (value[i + 1] == 'b') base = 2;
    if (base != 10) i += 2;
  }
  std::uint32_t number = 0;
  for (; i < value.size(); ++i) {
    const std::uint32_t digit = DigitValue(value[i]);
    if (digit >= base) break;
    number = number * base + digit;
  }
  if (negative) number = 0u - number;
  return static_cast<std::int32_t>(number);
}

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

enum class Encoding { kWindows1252, kUtf8, kUtf16Le, kUnknown };

Encoding EncodingOf(std::string_view bytes) {
  if (bytes.starts_with(kUtf16LeMark)) return Encoding::kUtf16Le;
  if (bytes.starts_with(kUtf16BeMark)) return Encoding::kUnknown;
  if (bytes.starts_with(kUtf8Mark)) return Encoding::kUtf8;
  return Encoding::kWindows1252;
}

std::optional<std::string> Utf16LeToUtf8(std::string_view bytes) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  std::u32string wide;
  wide.reserve(bytes.size() / 2);
  auto unit = [&](std::size_t at) -> char32_t {
    return static_cast<unsigned char>(bytes[at]) |
           (static_cast<char32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8);
  };
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const char32_t u = unit(i);
    if (u >= 0xDC00 && u <= 0xDFFF) return std::nullopt;
    if (u < 0xD800 || u > 0xDBFF) {
      wide.push_back(u);
      continue;
    }
    if (i + 2 >= bytes.size()) return std::nullopt;
    const char32_t low = unit(i + 2);
    if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
    wide.push_back(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
    i += 2;
  }
  return text::EncodeUtf8(wide);
}

std::string Utf8ToUtf16Le(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() * 2);
  auto put = [&](char32_t u) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  };
  for (const char32_t c : text::DecodeUtf8(utf8)) {
    if (c < 0x10000) {
      put(c);
    } else {
      put(0xD800 + ((c - 0x10000) >> 10));
      put(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
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
      if (!IsUtf8(body)) return std::nullopt;
      return Decoded{Encoding::kUtf8, std::string(body)};
    }
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
      return Concat({kUtf8Mark, text});
    case Encoding::kUtf16Le:
      return Concat({kUtf16LeMark, Utf8ToUtf16Le(text)});
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
  auto breaks_line = [](std::string_view s) { return s.find_first_of("\r\n") != s.npos; };
  section = Trim(section);
  entry = Trim(entry);
  return !section.empty() && !entry.empty() && !breaks_line(section) && !breaks_line(entry) &&
         !breaks_line(value) && section.find(']') == section.npos &&
         entry.find('=') == entry.npos && entry.front() != '[' && entry.front() != ';';
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
  std::optional<std::string> value =
      FindValue(file->text, ForCore(file->encoding, section), ForCore(file->encoding, entry),
                CharsetOf(file->encoding));
  if (!value) return std::nullopt;
  if (file->encoding == Encoding::kWindows1252) {
    if (value->size() > kMaxValueLength) value->resize(kMaxValueLength);
    return text::Windows1252ToUtf8(*value);
  }
  std::size_t end = 0;
  for (std::size_t count = 0; end < value->size() && count < kMaxValueLength; ++count) {
    NextCodePoint(*value, end);
  }
  value->resize(end);
  return value;
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
