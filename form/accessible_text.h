// What a screen reader says of a control: its name and description.
// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "form/form.h"

// What a screen reader says of a control.
struct AccessibleText {
  std::string name;
  std::string description;
};

// The name is the control's caption; without one its tooltip; without either, what its picture
// stands for in `language`: "OK", "Abbrechen", "Hilfe" in German (any German language code),
// "OK", "Cancel", "Help" in every other language. A frame is described by its tooltip.
AccessibleText AccessibleTextOf(const Control& control, const std::string& language);
