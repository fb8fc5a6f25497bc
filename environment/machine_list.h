// The machines of the project: their names, the program.ini in use, the valid ones.
// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "base/module.h"

// Fills MachineNames (index 1 on) and ProgramIniPath: in an integrated run from NameM1..NameM5 of
// the central INI file up to the first "-" or empty name, otherwise from program.ini's
// NumberOfMachines and the MachineName of each Machine<n> section.
void GetExistingMachines(Module& module, const std::string& configuration_ini_path);

// ValidMachines of the machine configuration file, as stored. Ends the program when that file
// does not exist.
std::string GetValidMachines(Module& module);
