// The rules that derive names and folders from the program file.
// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/module.h"

// The rules that derive names and folders from the program file. They report nothing: a report
// from inside the error handler would come straight back to it.

// The program file's name without its folder and extension: "D:\Tools\Zaro_Config.exe" gives
// "Zaro_Config". A name that starts with its only dot keeps it.
std::string ProgramNameOf(std::string_view program_file, char separator);

// The program name less its last 7 characters ("_Config"); a name shorter than that is kept
// whole, so messages always have a module name to show.
std::string ModuleNameOf(std::string_view program_name);

// The folder above `program_folder`: characters are dropped from the end up to the last
// separator, then the separator too. "D:\Plant\Tools" gives "D:\Plant", "D:\" gives "D:",
// "/" gives "". A path without any separator gives "". `on_step` runs before each character
// dropped, so the window stays responsive as the original tool let it.
std::string BaseFolderOf(std::string_view program_folder, char separator,
                         const std::function<void()>& on_step = {});

// The base folder of the running program, letting pending events run while it is computed.
std::string BaseFolder(Module& module);
