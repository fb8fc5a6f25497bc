// Reading and writing the program's INI entries: strings, numbers, any value kind.
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "base/module.h"

// A value of a kind SaveIni cannot write (the runtime's empty, null, date, object and the like).
struct UnsupportedValue {
  std::string kind;
};

// What SaveIni accepts: the kinds it writes as text, and the rest.
using IniValue = std::variant<std::int16_t, std::int32_t, std::uint8_t, float, double, std::string,
                              bool, UnsupportedValue>;

// The entry's value as text. A missing file, section or entry, and a blank value, all read as "";
// nothing is created. Section and entry names match without regard to case; blanks around the
// value are removed; at most 254 characters are returned.
std::string LoadIniString(Module& module, const std::string& section, const std::string& entry,
                          const std::string& file_name);

// The entry's value as a 16-bit integer; -1 when the file, section or entry is missing or the
// value is blank. A value outside -32768..32767 raises the overflow error; continuing gives 0.
std::int16_t LoadIniInteger(Module& module, const std::string& section, const std::string& entry,
                            const std::string& file_name);

// Writes `value` into the entry: numbers as plain decimal text, Booleans as "true"/"false", text
// unchanged; creates the file, section or entry as needed. Another kind is reported as
// "Ini Save:  wrong data type" and leaves the file alone. Returns 1 when written, else 0.
std::int16_t SaveIni(Module& module, const IniValue& value, const std::string& section,
                     const std::string& entry, const std::string& file_name);
