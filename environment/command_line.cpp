#include "environment/command_line.h"

#include "base/codepage.h"
#include "base/runtime.h"
#include "errors/error_handler.h"

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
