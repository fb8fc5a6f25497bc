// Runs the program silently: no window, no message box, saves and stamps.
// SPDX-License-Identifier: MIT
#include "app/silent_run.h"

#include "app/config_window.h"
#include "app/window_table.h"
#include "base/codepage.h"
#include "base/command_line_rules.h"
#include "errors/error_handler.h"
#include "errors/logs.h"

bool IsSilentRun(const Runtime& runtime) {
  const OptionLookup external =
      LookUpOption(runtime.ArgumentText(), "EXTERNAL", runtime.path_style());
  return text::UpperCase(external.value.value_or("")) == "SILENT";
}

MessageAnswer HeadlessDialogs::ShowMessage(const MessageBoxRequest& request) {
  WriteServiceLog(module_, request.title + ": " + request.text);
  return request.default_answer;
}

namespace {

// A run without a screen with everything it works with, its boxes writing to its service log.
struct HeadlessRun {
  explicit HeadlessRun(Runtime& runtime) : module(runtime, dialogs) {}

  HeadlessDialogs dialogs{module};
  Module module;
  Form form = MakeMainForm();
};

}  // namespace

ExitStatus RunSilent(Runtime& runtime) {
  HeadlessRun run(runtime);
  Module& module = run.module;
  ConfigWindow window(module, run.form);
  RunOutermost(module, [&] { window.Form_Load(); });
  // Reached only when the load did not get to its save.
  WriteServiceLog(module, "The silent run ended without saving.");
  return kExitFailure;
}
