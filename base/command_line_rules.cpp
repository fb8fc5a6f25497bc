// Finds an option's value in the command line; the LOGFILE of the run.
// SPDX-License-Identifier: MIT
#include "base/command_line_rules.h"

#include "base/codepage.h"

namespace {

std::u32string TrimSpaces(std::u32string_view value) {
  const auto first = value.find_first_not_of(U' ');
  if (first == std::u32string_view::npos) return {};
  const auto last = value.find_last_not_of(U' ');
  return std::u32string(value.substr(first, last - first + 1));
}

std::u32string Upper(std::u32string value) {
  for (char32_t& c : value) c = text::UpperCodePoint(c);
  return value;
}

}  // namespace

OptionLookup LookUpOption(std::string_view command_line, std::string_view option_name,
                          PathStyle style) {
  const std::u32string line = text::DecodeUtf8(command_line);
  const std::u32string name = text::DecodeUtf8(option_name);
  const auto found = Upper(line).find(Upper(name));
  if (found == std::u32string::npos) return {};
  // The value starts after the name and one separator character.
  const std::size_t start = found + name.size() + 1;
  if (start > line.size()) return {std::nullopt, true};
  std::u32string value = line.substr(start);
  if (style == PathStyle::kPosix) {
    // The next option starts with a blank and "/"; a "/" elsewhere belongs to a path.
    const auto next = value.find(U" /");
    if (next != std::u32string::npos) value.resize(next);
    value = TrimSpaces(value);
  } else {
    value = Upper(TrimSpaces(value));
    const auto slash = value.find(U'/');
    if (slash != std::u32string::npos) value = Upper(TrimSpaces(value.substr(0, slash)));
  }
  return {text::EncodeUtf8(value), false};
}

std::string LogfileOption(const Module& module) {
  return LookUpOption(module.runtime.ArgumentText(), "LOGFILE", module.runtime.path_style())
      .value.value_or("");
}
