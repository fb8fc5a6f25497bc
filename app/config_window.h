// The logic of the one window, on screen or headless: its handlers and methods.
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

#include "base/module.h"
#include "form/form.h"

// The Boolean of the form's events: 16 bits, True = -1, False = 0.
using Boolean = std::int16_t;
inline constexpr Boolean kTrue = -1;
inline constexpr Boolean kFalse = 0;

// The logic of the one window: its handlers and methods, working on a form built from the
// window's table, whether that form is on screen or headless.
class ConfigWindow {
 public:
  // Connects the click events of `form`'s controls to the handlers below.
  ConfigWindow(Module& module, Form& form);
  ConfigWindow(const ConfigWindow&) = delete;
  ConfigWindow& operator=(const ConfigWindow&) = delete;

  void Form_Load();
  void Form_Activate();
  void Form_Resize();
  // The close request: setting `cancel` keeps the window open. `unload_mode` is not looked at.
  // While another handler is under way (its box open, the save running, events let through at one
  // of its pending-event points) the request is refused without a question: a second box would
  // stack on the first, and a Yes during the save would end the program between the word and its
  // stamp. OK's handler stays under way until the program ends.
  void Form_QueryUnload(Boolean& cancel, std::int16_t unload_mode);

  void CommandOK_Click();
  void CommandCancel_Click();
  void CommandQuest_Click();
  void CheckEffizienz_Click();
  void CheckAuswurfAufTatsaechliche_Click();

  void SetupUserInterFace();
  void WriteInputs();
  void CloseMe();

 private:
  Module& module_;
  Form& form_;
  std::string configuration_ini_path_;
  // Handlers running now; all but the innermost wait in a box or at a pending-event point.
  int handlers_under_way_ = 0;
  // The status word or the edit stamp could not be written: the run ends with the failure
  // status.
  bool save_failed_ = false;
};
