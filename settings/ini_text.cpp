// Finds and rewrites single entries of INI text, keeping every other byte.
// SPDX-License-Identifier: MIT
#include "settings/ini_text.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <string>

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

// Greater than every base, so a character that is no digit ends the number in any base.
constexpr std::uint32_t kNoDigit = 99;

std::uint32_t DigitValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<std::uint32_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<std::uint32_t>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<std::uint32_t>(c - 'A' + 10);
  return kNoDigit;
}

constexpr std::string_view kBlanks = " \t\v";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v';
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
    p.name = TrimBlanks(rest.substr(0, rest.find(']')));
  } else if (const std::size_t eq = text.find('='); eq != std::string_view::npos) {
    p.kind = Kind::kEntry;
    p.name = TrimBlanks(text.substr(0, eq));
    p.value = TrimBlanks(text.substr(eq + 1));
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
  section = TrimBlanks(section);
  entry = TrimBlanks(entry);
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

// The value as a read returns it: one pair of matching quotes removed, cut at the first NUL.
std::string_view AsRead(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  // Callers get a C string, which ends at the first NUL.
  return value.substr(0, value.find('\0'));
}

}  // namespace

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool NamesEqual(std::string_view a, std::string_view b, Charset charset) {
  if (a.size() != b.size()) return false;
  if (charset == Charset::kUtf8) {
    // Case pairs of the letters folded here have UTF-8 forms of equal length.
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
      if (text::LowerCodePoint(text::NextCodePoint(a, i)) !=
          text::LowerCodePoint(text::NextCodePoint(b, j))) {
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

namespace {

// Equal for two names exactly when NamesEqual says so: UTF-8 names of equal size with equal code
// points but for case, or Windows-1252 bytes equal but for case.
std::string NameKey(std::string_view name, Charset charset) {
  std::string key;
  if (charset == Charset::kUtf8) {
    key = std::to_string(name.size()) + ':';
    for (std::size_t i = 0; i < name.size();) {
      key +=
          text::EncodeUtf8(std::u32string(1, text::LowerCodePoint(text::NextCodePoint(name, i))));
    }
    return key;
  }
  for (const char c : name) key += static_cast<char>(kFold[static_cast<unsigned char>(c)]);
  return key;
}

}  // namespace

SectionIndex::SectionIndex(std::string_view file_bytes, Charset charset)
    : bytes_(file_bytes), charset_(charset) {
  LineReader reader(file_bytes);
  Line line;
  std::string open;  // the key of the section being read, "" before a new one
  std::size_t open_begin = 0;
  bool reading = false;
  const auto close = [&](std::size_t end) {
    if (reading) sections_.emplace(open, file_bytes.substr(open_begin, end - open_begin));
  };
  while (reader.Next(line)) {
    const Parsed p = Parse(file_bytes.substr(line.begin, line.end - line.begin));
    if (p.kind != Kind::kHeader) continue;
    close(line.begin);
    open = NameKey(p.name, charset);
    open_begin = line.begin;
    reading = sections_.find(open) == sections_.end();
  }
  close(file_bytes.size());
}

std::optional<std::string> SectionIndex::FindValue(std::string_view section,
                                                   std::string_view entry) const {
  const auto found = sections_.find(NameKey(TrimBlanks(section), charset_));
  if (found == sections_.end()) return std::nullopt;
  return ini::FindValue(found->second, section, entry, charset_);
}

std::optional<std::string> FindValue(std::string_view file_bytes, std::string_view section,
                                     std::string_view entry, Charset charset) {
  const Location loc = Locate(file_bytes, section, entry, charset);
  if (!loc.match) return std::nullopt;
  return std::string(AsRead(loc.match_parsed.value));
}

std::string RewriteEntry(std::string_view file_bytes, std::string_view section,
                         std::string_view entry, std::string_view value, Charset charset) {
  section = TrimBlanks(section);
  entry = TrimBlanks(entry);
  const std::string_view eol = DetectLineEnd(file_bytes);
  if (file_bytes.empty()) return Concat({"[", section, "]", eol, entry, "=", value, eol});

  const Location loc = Locate(file_bytes, section, entry, charset);
  if (loc.match) {
    // Hand-aligned blanks and quotes stay when the value would read back the same.
    if (AsRead(loc.match_parsed.value) == value) return std::string(file_bytes);
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
  if (negative) number = 0U - number;
  return static_cast<std::int32_t>(number);
}

}  // namespace ini
