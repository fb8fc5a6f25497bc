// libFuzzer target of the INI core: any file bytes, in any of the encodings the core knows, then
// a sequence of reads and writes. A write must change the target entry's line or add lines for
// it and nothing else, be read back when the value can be stored, and be idempotent.
// SPDX-License-Identifier: MIT
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/codepage.h"
#include "settings/ini_file_text.h"
#include "settings/ini_text.h"

namespace {

constexpr auto kNames = std::to_array<std::string_view>(
    {"S", "s", "Machine1", "ZaroMainPictureStatus", "1031", "k", " k\v", "Gr\u00F6\u00DFe",
     "GR\u00D6\u00DFE", "\u03A3", "a=b", "x]", ";c", ""});

void Check(bool condition) {
  if (!condition) std::abort();
}

struct Line {
  std::string_view text;
  std::string_view end;
};

std::vector<Line> SplitLines(std::string_view s) {
  std::vector<Line> lines;
  while (!s.empty()) {
    const std::size_t cut = s.find_first_of("\r\n");
    if (cut == std::string_view::npos) {
      lines.push_back({s, {}});
      break;
    }
    const std::size_t end = s.compare(cut, 2, "\r\n") == 0 ? 2 : 1;
    lines.push_back({s.substr(0, cut), s.substr(cut, end)});
    s.remove_prefix(cut + end);
  }
  return lines;
}

// Every line of `before` is in `after`, in order, with its own line end, except that one line
// may change and a last line without an end may gain one; at most two lines are new.
void CheckOnlyTheEntryChanged(std::string_view before, std::string_view after) {
  const std::vector<Line> old_lines = SplitLines(before);
  const std::vector<Line> new_lines = SplitLines(after);
  std::size_t head = 0;
  while (head < old_lines.size() && head < new_lines.size() &&
         old_lines[head].text == new_lines[head].text &&
         (old_lines[head].end == new_lines[head].end || head + 1 == old_lines.size())) {
    ++head;
  }
  std::size_t tail = 0;
  while (tail < old_lines.size() - head && tail < new_lines.size() - head &&
         old_lines[old_lines.size() - 1 - tail].text ==
             new_lines[new_lines.size() - 1 - tail].text &&
         old_lines[old_lines.size() - 1 - tail].end == new_lines[new_lines.size() - 1 - tail].end) {
    ++tail;
  }
  const std::size_t old_changed = old_lines.size() - head - tail;
  const std::size_t new_changed = new_lines.size() - head - tail;
  Check(old_changed <= 1 && new_changed <= 2 && (old_changed == 0 || new_changed == 1));
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v';
}

// A value a read gives back exactly as written.
bool Storable(const std::string& value, bool windows_1252) {
  const std::u32string chars = text::DecodeUtf8(value);
  if (text::EncodeUtf8(chars) != value || chars.size() > ini::kMaxValueLength) return false;
  if (windows_1252 && text::Windows1252ToUtf8(text::Utf8ToWindows1252(value)) != value) {
    return false;
  }
  if (value.find_first_of(std::string_view("\0\r\n", 3)) != std::string::npos) return false;
  if (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()))) return false;
  return value.size() < 2 || (value.front() != value.back()) ||
         (value.front() != '"' && value.front() != '\'');
}

std::string_view MarkOf(std::string_view file) {
  for (const std::string_view mark : {"\xFF\xFE", "\xEF\xBB\xBF", "\xFE\xFF"}) {
    if (file.starts_with(mark)) return mark;
  }
  return {};
}

bool UnmarkedUtf8(std::string_view file) {
  return MarkOf(file).empty() && text::IsUtf8(file) &&
         std::any_of(file.begin(), file.end(), [](char c) { return (c & 0x80) != 0; });
}

std::string FileBytes(FuzzedDataProvider& in) {
  std::string raw = in.ConsumeRandomLengthString(4096);
  switch (in.ConsumeIntegralInRange(0, 4)) {
    case 1:
      return "\xFF\xFE" + raw;
    case 2: {
      // Every byte a UTF-16 code unit of its own, so most files decode.
      std::string wide = "\xFF\xFE";
      for (const char c : raw) wide += {c, '\0'};
      return wide;
    }
    case 3:
      return "\xEF\xBB\xBF" + raw;
    case 4:
      return "\xFE\xFF" + raw;
    default:
      return raw;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  std::string file = FileBytes(in);
  while (in.remaining_bytes() > 0) {
    const std::string_view section = kNames[in.ConsumeIntegralInRange<std::size_t>(0, 13)];
    const std::string_view entry = kNames[in.ConsumeIntegralInRange<std::size_t>(0, 13)];
    const std::optional<std::string> read = ini::ReadEntry(file, section, entry);
    if (read) Check(text::DecodeUtf8(*read).size() <= ini::kMaxValueLength);
    // The index of a run's parsed files reads as the whole file does.
    Check(ini::ParsedFile(file).ReadEntry(section, entry) == read);
    static_cast<void>(ini::ParseProfileInt(read.value_or("")));
    if (!in.ConsumeBool()) continue;

    const std::string value = in.ConsumeRandomLengthString(300);
    const std::optional<std::string> text = ini::FileText(file);
    const std::optional<std::string> written = ini::WriteEntry(file, section, entry, value);
    if (!written) {
      // Only an undecodable file, or names or a value that would break its lines, are refused.
      const std::string all = std::string(section) + std::string(entry) + value;
      Check(!text || all.find_first_of("\r\n]=[;") != std::string::npos || section.empty() ||
            entry.empty());
      continue;
    }
    Check(text.has_value() && MarkOf(*written) == MarkOf(file));
    const std::optional<std::string> new_text = ini::FileText(*written);
    Check(new_text.has_value());
    CheckOnlyTheEntryChanged(*text, *new_text);
    // A Windows-1252 file whose bytes become valid UTF-8 reads as UTF-8 from then on.
    const bool unmarked_utf8 = UnmarkedUtf8(file);
    if (unmarked_utf8 != UnmarkedUtf8(*written)) {
      file = *written;
      continue;
    }
    Check(ini::WriteEntry(*written, section, entry, value) == written);
    const bool windows_1252 = *text == file && !unmarked_utf8;
    if (Storable(value, windows_1252)) Check(ini::ReadEntry(*written, section, entry) == value);
    file = *written;
  }
  return 0;
}
