// The cancel confirmation: its text and the question whether to drop the edits.
// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "base/module.h"

// The text of the cancel confirmation (lines joined by LF CR); an integrated run adds where the
// module has to be configured again.
std::string CancelConfirmationText(Module& module);

// Asks whether to drop the edits: true to close. Yes is logged to the configuration log. A silent
// run asks nobody: the text goes to the service log and the answer is true. Catches nothing.
bool AskCancelEdits(Module& module);
