// The command-line option rules the logs stand on.
// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/module.h"
#include "base/runtime.h"

// The option rules the logs stand on. They report nothing: a report from inside the error handler
// would come straight back to it.

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
