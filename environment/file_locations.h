#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/module.h"

// Path rules as pure functions of the separator. `on_step` runs before each character dropped,
// so the window stays responsive as the original tool let it.

// The folder above `program_folder`: characters are dropped from the end up to the last
// separator, then the separator too. "D:\Plant\Tools" gives "D:\Plant", "D:\" gives "D:",
// "/" gives "". A path without any separator gives "".
std::string BaseFolderOf(std::string_view program_folder, char separator,
                         const std::function<void()>& on_step = {});

// The text after the last separator, or all of it when there is none.
std::string FileNameOnlyOf(std::string_view path, char separator,
                           const std::function<void()>& on_step = {});

// The program name less its last 7 characters ("_Config"); a name shorter than that is kept
// whole, so messages always have a module name to show.
std::string ModuleNameOf(std::string_view program_name);

// The configurator's program.ini below the folder `save_and_restore`.
std::string ConfiguratorProgramIniOf(std::string_view save_and_restore, char separator);

// The base folder of the running program, letting pending events run while it is computed.
std::string BaseFolder(Module& module);

// The product's central q7xconfiguration.ini, or "" when it does not exist.
std::string GetQ7XConfigurationIniPath(Module& module);

// Where the project's own Program.ini belongs, whether or not it exists.
std::string LocalProgramIniPath(Module& module);
// program.ini: the configurator's copy for path_kind 1 in an integrated run, else the local one;
// "" when it does not exist.
std::string GetProgramIniPath(Module& module, int path_kind);

// The machine's configuration file. When it does not exist this reports the fault and ends the
// program; it returns only a path that exists.
std::string GetCFGPath(Module& module);

std::string GetFileNameOnly(Module& module, const std::string& full_path);

std::string GetOCXName(Module& module);
