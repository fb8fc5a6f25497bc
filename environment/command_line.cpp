// Reads the start mode and the log file from the program's command line.
// SPDX-License-Identifier: MIT
#include "environment/command_line.h"

#include <algorithm>

#include "base/codepage.h"
#include "base/command_line_rules.h"
#include "base/runtime.h"
#include "errors/error_handler.h"

std::string ArgumentTextOf(std::string_view command_line) {
  // The program name as the C runtime takes it: up to the closing quote when it starts with one,
  // else up to the first blank.
  std::size_t end = 0;
  if (!command_line.empty() && command_line.front() == '"') {
    end = command_line.find('"', 1);
    end = end == std::string_view::npos ? command_line.size() : end + 1;
  } else {
    end = std::min(command_line.find_first_of(" \t"), command_line.size());
  }
  if (end < command_line.size() && (command_line[end] == ' ' || command_line[end] == '\t')) ++end;
  return std::string(command_line.substr(end));
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
