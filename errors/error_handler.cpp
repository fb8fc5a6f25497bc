// Logs an error, asks whether to go on, and ends the program when told to.
// SPDX-License-Identifier: MIT
#include "errors/error_handler.h"

#include <cstdlib>

#include "base/dialogs.h"
#include "base/line_breaks.h"
#include "base/path_rules.h"
#include "base/runtime.h"
#include "errors/logs.h"

using text::kLineBreak;

HandleErrorResult HandleError(Module& module, std::int32_t number, const std::string& source,
                              const std::string& description, std::string_view proc_name) {
  // Not through GetOCXName: its own failure would come straight back here.
  const std::string module_name = ModuleNameOf(module.runtime.ProgramName());
  const std::string log_text = "Fehler in " + module_name + " / " + source + " / " +
                               std::string(proc_name) + " (Nr. " + std::to_string(number) +
                               ") :" + description;
  const std::string confirmation = WriteCfgLog(module, log_text);
  const std::string message =
      "Unexpected error!" + std::string(kLineBreak) + description + kLineBreak + confirmation;
  if (module.state.SilentMode) {
    WriteServiceLog(module, message);
    return HandleErrorResult::kContinue;
  }
  const MessageAnswer answer = module.dialogs.ShowMessage(
      {message + kLineBreak + "Resume?", "Unexpected error", MessageIcon::kCritical,
       MessageButtons::kYesNo, MessageAnswer::kYes});
  return answer == MessageAnswer::kNo ? HandleErrorResult::kEnd : HandleErrorResult::kContinue;
}

void EndProgram(Module& module) {
  module.runtime.EndProcess(kExitFailure);
  std::abort();  // unreachable: a runtime that returned from EndProcess is broken
}

void Raise(const Module& module, ErrorNumber number) {
  throw RuntimeError(number, module.runtime.ProgramName());
}

void Procedure::Handle(const RuntimeError& error) {
  if (HandleError(module_, error.number(), error.source(), error.description(), name_) ==
      HandleErrorResult::kEnd) {
    EndProgram(module_);
  }
}

void ReportEscapedError(Module& module, const RuntimeError& error) {
  const std::string text = "Unexpected error!" + std::string(kLineBreak) + error.description() +
                           " (Nr. " + std::to_string(error.number()) + ")" + kLineBreak +
                           "The program ends.";
  ReportFault(module, text);
}
