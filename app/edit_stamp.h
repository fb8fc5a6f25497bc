#pragma once

#include <string>
#include <string_view>

#include "base/module.h"

// The editor code of an environment entry "name=value": for each character of the value but
// "-" and "_", its Windows-1252 code plus 5 in upper-case hexadecimal, without separators.
// "X=a-b_c" gives "666768"; an entry without "=" is taken whole.
std::string EditorCodeOf(std::string_view environment_entry);

// Stamps section "Info" of the machine's configuration file: "S_Prog" (version and run mode) and
// "S_Editor" (the editor code of the first environment entry).
void WriteEditInfo(Module& module);
