// Asks whether to drop the edits when the window is cancelled.
// SPDX-License-Identifier: MIT
#include "app/closing.h"

#include "base/dialogs.h"
#include "base/line_breaks.h"
#include "base/runtime.h"
#include "environment/file_locations.h"
#include "errors/logs.h"

std::string CancelConfirmationText(Module& module) {
  using text::kLineBreak;
  std::string text = "Cancel edits?";
  text.append(kLineBreak).append("Remark:").append(kLineBreak);
  text.append("Until now no changes have been taken over ");
  if (module.state.IntegratedMode) {
    text.append(kLineBreak).append("\"").append(GetOCXName(module)).append("\"");
    text.append(" has to be configured again in \"standalone-mode\" via ").append(kLineBreak);
    text.append("\"").append(module.runtime.ProgramFilePath()).append("\"");
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
