#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/module.h"
#include "base/runtime.h"

struct OptionLookup {
  std::optional<std::string> value;
  // The name stands at the very end, with no separator after it.
  bool invalid_argument = false;
};

// The rules of ReadCommand without the error handling.
OptionLookup LookUpOption(std::string_view command_line, std::string_view option_name,
                          PathStyle style);

// The value of `option_name` in `command_line`: the text after the name and one separator
// character, up to the start of the next option, without blanks around it; nullopt when the name
// does not occur. Names match without regard to case, as a plain substring.
// Windows: the value ends at the first "/" and is upper-cased. POSIX: it ends at a "/" that
// follows a blank and keeps its case, since paths hold "/" and are case sensitive.
// A name at the very end of the line raises the invalid-argument error (handled here).
std::optional<std::string> ReadCommand(Module& module, const std::string& command_line,
                                       const std::string& option_name);

// Sets IntegratedMode and SilentMode from the value of EXTERNAL; true when integrated.
bool GetStartModeIntegrated(Module& module);

// The value of LOGFILE, "" when absent.
std::string GetPathLogfile(Module& module);

// LOGFILE read without reporting a malformed command line: the configuration log uses it while an
// error is being handled, and a report from there would come back to it without end.
std::string LogfileOption(const Module& module);
