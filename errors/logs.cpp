// Writes entries to the configuration log and the service log, and reports faults.
// SPDX-License-Identifier: MIT
#include "errors/logs.h"

#include "base/codepage.h"
#include "base/command_line_rules.h"
#include "base/dialogs.h"
#include "base/line_breaks.h"
#include "base/path_rules.h"
#include "base/runtime.h"
#include "errors/error.h"

namespace {
constexpr const char* kLogEnd = "\r\n";
}

std::string WriteCfgLog(Module& module, const std::string& text) {
  const std::string base = BaseFolder(module);
  std::string file;
  if (module.state.IntegratedMode) file = LogfileOption(module);
  if (file.empty()) file = base + SeparatorOf(module.runtime.path_style()) + "Q7Xcfglog.txt";
  module.runtime.AppendToFile(file, text + kLogEnd);
  return "Error logged to " + std::string(text::kLineBreak) + text::UpperCase(file);
}

void WriteServiceLog(Module& module, const std::string& text) {
  const std::string entry = "! Fault " + module.runtime.ProgramName() + ": " + text;
  try {
    module.runtime.AppendToFile(module.runtime.ServiceLogPath(), entry + kLogEnd);
  } catch (const RuntimeError&) {
    // A standard user cannot create files in C:\ since Windows Vista: the event log is where
    // service staff still find the entry.
    module.runtime.WriteSystemLog(entry);
    module.runtime.WriteStandardError(entry + "\n");
  }
}

void ReportFault(Module& module, const std::string& text) {
  if (module.state.SilentMode) {
    WriteServiceLog(module, text);
    return;
  }
  module.dialogs.ShowMessage({text, module.runtime.ProgramName(), MessageIcon::kCritical,
                              MessageButtons::kOk, MessageAnswer::kOk});
}

void ReportFileFault(Module& module, const std::string& fault, const std::string& path) {
  ReportFault(module, fault + ": " + text::kLineBreak + text::UpperCase(path));
}
