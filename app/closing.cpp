#include "app/closing.h"

#include "base/dialogs.h"
#include "base/runtime.h"
#include "environment/file_locations.h"
#include "errors/logs.h"

namespace {
constexpr const char* kLineBreak = "\n\r";
}

std::string CancelConfirmationText(Module& module) {
  std::string text = std::string("Cancel edits?") + kLineBreak + "Remark:" + kLineBreak +
                     "Until now no changes have been taken over ";
  if (module.state.IntegratedMode) {
    text += kLineBreak + ("\"" + GetOCXName(module) + "\"") + " has to be configured again in " +
            "\"standalone-mode\"" + " via " + kLineBreak + "\"" + module.runtime.ProgramFilePath() +
            "\"";
  }
  return text;
}

bool AskCancelEdits(Module& module) {
  const std::string text = CancelConfirmationText(module);
  if (module.state.SilentMode) {
    WriteServiceLog(module, text);
    return true;
  }
  const MessageAnswer answer = module.dialogs.ShowMessage(
      {text, "Cancel?", MessageIcon::kWarning, MessageButtons::kYesNo, MessageAnswer::kNo});
  if (answer != MessageAnswer::kYes) return false;
  WriteCfgLog(module, "Konfigurations-EXE wurde abgebrochen:     " + GetOCXName(module));
  return true;
}
