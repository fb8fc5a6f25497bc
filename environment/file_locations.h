// Where the program's files lie: program.ini, the central INI file, the machine's .cfg file.
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/module.h"

// The text after the last separator, or all of it when there is none. `on_step` runs before
// each part dropped, so the window stays responsive.
std::string FileNameOnlyOf(std::string_view path, char separator,
                           const std::function<void()>& on_step = {});

// The configurator's program.ini below the folder `save_and_restore`.
std::string ConfiguratorProgramIniOf(std::string_view save_and_restore, char separator);

// The product's central q7xconfiguration.ini, or "" when it does not exist.
std::string GetQ7XConfigurationIniPath(Module& module);

// Where the project's own Program.ini belongs, whether or not it exists.
std::string LocalProgramIniPath(Module& module);
// Which program.ini: the configurator's copy (the local file but in an integrated run), or the
// local file always. The numbers are the ones callers have always passed.
enum class PathKind : std::int32_t { kConfiguratorCopy = 1, kLocal = 2 };

// The program.ini `path_kind` names; "" when it does not exist.
std::string GetProgramIniPath(Module& module, PathKind path_kind);

// The machine's configuration file. When it does not exist this reports the fault and ends the
// program; it returns only a path that exists.
std::string GetCFGPath(Module& module);

std::string GetFileNameOnly(Module& module, const std::string& full_path);

std::string GetOCXName(Module& module);
