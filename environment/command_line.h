// The command line: its argument part, its options, the start mode and the log file.
// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/module.h"
#include "base/runtime.h"

// The argument part of a whole command line as Windows hands it over: the program's name,
// quoted or not, and the one blank after it removed, nothing else changed.
std::string ArgumentTextOf(std::string_view command_line);

// LookUpOption under the common error pattern: a name at the very end of the line raises the
// invalid-argument error, handled here.
std::optional<std::string> ReadCommand(Module& module, const std::string& command_line,
                                       const std::string& option_name);

// Sets IntegratedMode and SilentMode from the value of EXTERNAL; true when integrated.
bool GetStartModeIntegrated(Module& module);

// The value of LOGFILE, "" when absent.
std::string GetPathLogfile(Module& module);
