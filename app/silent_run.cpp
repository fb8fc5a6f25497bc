#include "app/silent_run.h"

#include "app/config_window.h"
#include "app/window_table.h"
#include "base/codepage.h"
#include "environment/command_line.h"
#include "errors/error_handler.h"
#include "errors/logs.h"

bool IsSilentRun(const Runtime& runtime) {
  const OptionLookup external =
      LookUpOption(runtime.ArgumentText(), "EXTERNAL", runtime.path_style());
  return text::UpperCase(external.value.value_or("")) == "SILENT";
}

MessageAnswer HeadlessDialogs::ShowMessage(const MessageBoxRequest& request) {
  if (module != nullptr) WriteServiceLog(*module, request.title + ": " + request.text);
  return request.default_answer;
}

ExitStatus RunSilent(Runtime& runtime) {
  HeadlessDialogs dialogs;
  Module module(runtime, dialogs);
  dialogs.module = &module;
  Form form = MakeMainForm();
  ConfigWindow window(module, form);
  RunOutermost(module, [&] { window.Form_Load(); });
  // Reached only when the load did not get to its save.
  WriteServiceLog(module, "The silent run ended without saving.");
  return kExitFailure;
}
