// Silent runs: telling one from the command line, running it, and its headless boxes.
// SPDX-License-Identifier: MIT
#pragma once

#include "base/dialogs.h"
#include "base/module.h"
#include "base/runtime.h"

// True when the command line asks for a silent run: no window and no windowing system at all.
bool IsSilentRun(const Runtime& runtime);

// Boxes of a run without a screen: the text goes to the service log and the default button
// answers.
class HeadlessDialogs : public Dialogs {
 public:
  // The module whose service log takes the text; it may be built after the boxes, on them.
  explicit HeadlessDialogs(Module& module) : module_(module) {}

  MessageAnswer ShowMessage(const MessageBoxRequest& request) override;

 private:
  Module& module_;
};

// Drives the window's logic on a headless form: load, save and end. Returns the exit status
// for the case that the save did not end the program itself.
ExitStatus RunSilent(Runtime& runtime);
