// Reads which machines exist and which are valid.
// SPDX-License-Identifier: MIT
#include "environment/machine_list.h"

#include "base/runtime.h"
#include "environment/entry_names.h"
#include "environment/file_locations.h"
#include "errors/error_handler.h"
#include "settings/ini_access.h"

namespace {
constexpr int kMaxIntegratedMachines = 5;
}

void GetExistingMachines(Module& module, const std::string& configuration_ini_path) {
  Procedure proc(module, "GetExistingMachines");
  ModuleState& state = module.state;
  proc.Step([&] { state.ProgramIniPath = GetProgramIniPath(module, PathKind::kConfiguratorCopy); });
  if (proc.Test([&] { return state.IntegratedMode; })) {
    if (proc.Test([&] { return !module.runtime.IsOrdinaryFile(configuration_ini_path); })) return;
    for (int i = 1; i <= kMaxIntegratedMachines; ++i) {
      std::string name;
      proc.Step([&] {
        name = LoadIniString(module, kCommonSection, kNameMEntry + std::to_string(i),
                             configuration_ini_path);
      });
      if (proc.Test([&] { return name == "-" || name.empty(); })) return;
      proc.Step([&] {
        state.MachineNames.resize(static_cast<std::size_t>(i) + 1);
        state.MachineNames[static_cast<std::size_t>(i)] = name;
      });
    }
    return;
  }
  std::int16_t count = 0;
  proc.Step([&] {
    count = LoadIniInteger(module, kProjectSection, kNumberOfMachinesEntry, state.ProgramIniPath);
  });
  for (int j = 1; j <= count; ++j) {
    proc.Step([&] { state.MachineNames.resize(static_cast<std::size_t>(j) + 1); });
    proc.Step([&] {
      state.MachineNames[static_cast<std::size_t>(j)] = LoadIniString(
          module, kMachineSection + std::to_string(j), kMachineNameEntry, state.ProgramIniPath);
    });
  }
}

std::string GetValidMachines(Module& module) {
  Procedure proc(module, "GetValidMachines");
  std::string path;
  std::string result;
  proc.Step([&] { path = GetCFGPath(module); });
  proc.Step([&] { result = LoadIniString(module, kProjectSection, kValidMachinesEntry, path); });
  return result;
}
