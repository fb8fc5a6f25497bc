// The program's own INI file, its language, and the window's texts in that language.
// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "base/module.h"
#include "form/form.h"

// The program's own INI file: beside the program file, named after it, ".ini"; an existing one
// is found as the runtime finds files (in any letter case on Linux).
std::string OwnIniPath(Module& module);

// The language code from the own INI file; writes and returns "1031" when none is stored.
std::string GetLanguage(Module& module);

// Gives `form` the language and every control of `form` its caption and tooltip in the user's
// language and fills HelpTexts. Every entry looked for and missing is written back at once ("0" for
// no text; the designed caption in the design language), so the file lists every key the window
// uses.
void LoadToolTipTexts(Module& module, Form& form);
