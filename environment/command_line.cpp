#include "environment/command_line.h"

#include "base/codepage.h"
#include "base/runtime.h"
#include "errors/error_handler.h"

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

std::optional<std::string> ReadCommand(Module& module, const std::string& command_line,
                                       const std::string& option_name) {
  Procedure proc(module, "ReadCommand");
  OptionLookup lookup;
  proc.Step([&] {
    lookup = LookUpOption(command_line, option_name, module.runtime.path_style());
    if (lookup.invalid_argument) Raise(module, ErrorNumber::kInvalidArgument);
  });
  if (lookup.invalid_argument) return std::string();
  return lookup.value;
}

bool GetStartModeIntegrated(Module& module) {
  Procedure proc(module, "GetStartModeIntegrated");
  ModuleState& state = module.state;
  bool result = false;
  std::string value;
  proc.Step([&] {
    value = text::UpperCase(
        ReadCommand(module, module.runtime.ArgumentText(), "EXTERNAL").value_or(""));
  });
  if (proc.Test([&] { return value == "Q7XCFG"; })) {
    state.IntegratedMode = true;
    result = true;
  } else {
    state.IntegratedMode = false;
    result = false;
  }
  if (proc.Test([&] { return value == "SILENT"; })) {
    state.SilentMode = true;
    state.IntegratedMode = false;
    result = false;
  } else {
    state.SilentMode = false;
  }
  return result;
}

std::string GetPathLogfile(Module& module) {
  Procedure proc(module, "GetPathLogfile");
  std::string result;
  proc.Step(
      [&] { result = ReadCommand(module, module.runtime.ArgumentText(), "LOGFILE").value_or(""); });
  return result;
}

std::string LogfileOption(const Module& module) {
  return LookUpOption(module.runtime.ArgumentText(), "LOGFILE", module.runtime.path_style())
      .value.value_or("");
}
