// All state the program keeps for its run, and the platform it works with.
// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <string>
#include <vector>

class Runtime;
class Dialogs;

inline constexpr int kHelpTextCount = 100;

// All state the program keeps for its run. Built once at start; tests build a fresh one.
struct ModuleState {
  bool IntegratedMode = false;
  bool SilentMode = false;
  // Empty while unallocated; otherwise element 0 is unused and the size is the count + 1.
  std::vector<std::string> MachineNames;
  std::string ProgramIniPath;
  bool HelpMode = false;
  bool HelpClickGuard = false;
  // Slot n - 1 holds help text n.
  std::array<std::string, kHelpTextCount> HelpTexts;
};

// What every procedure of the module works with: its state and the platform behind it.
struct Module {
  Module(Runtime& runtime_in, Dialogs& dialogs_in) : runtime(runtime_in), dialogs(dialogs_in) {}

  ModuleState state;
  Runtime& runtime;
  Dialogs& dialogs;
};
