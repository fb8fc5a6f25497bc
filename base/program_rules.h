#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/module.h"
#include "base/runtime.h"

// The rules the error handler and the logs stand on. They report nothing: a report from inside
// the error handler would come straight back to it.

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

struct OptionLookup {
  std::optional<std::string> value;
  // The name stands at the very end, with no separator after it.
  bool invalid_argument = false;
};

// The value of `option_name` in `command_line`: the text after the name and one separator
// character, up to the start of the next option, without blanks around it; nullopt when the name
// does not occur. Names match without regard to case, as a plain substring.
// Windows: the value ends at the first "/" and is upper-cased. POSIX: it ends at a "/" that
// follows a blank and keeps its case, since paths hold "/" and are case sensitive.
OptionLookup LookUpOption(std::string_view command_line, std::string_view option_name,
                          PathStyle style);

// LOGFILE of the program's own command line, "" when absent or malformed.
std::string LogfileOption(const Module& module);
