// The line break of the program's message texts, and how a message box shows them.
// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace text {

// The line break inside the program's message texts: line feed, then carriage return.
inline constexpr const char* kLineBreak = "\n\r";

// `text` as a message box shows it: each line-break pair (LF CR or CR LF), and a lone LF or CR,
// becomes one `line_break`, the toolkit's own.
std::string WithLineBreaks(std::string_view text, std::string_view line_break);

}  // namespace text
