// The editor code and the stamp an edit leaves in the machine's configuration file.
// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/codepage.h"
#include "base/module.h"

// The editor code of an environment entry "name=value": for each character of the value but
// "-" and "_", its code in the 8-bit code page (`to_code_page`) plus 5 in upper-case hexadecimal,
// without separators. "X=a-b_c" gives "666768"; an entry without "=" is taken whole.
std::string EditorCodeOf(
    std::string_view environment_entry,
    const std::function<std::string(std::string_view)>& to_code_page = text::Utf8ToWindows1252);

// Stamps section "Info" of the machine's configuration file: "S_Prog" (version and run mode) and
// "S_Editor" (the editor code of the first environment entry). A stamp that could not be saved is
// reported once as "File not saved:" with the file's path; false then.
bool WriteEditInfo(Module& module);
