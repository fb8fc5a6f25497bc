// What the process settles before anything else runs.
// SPDX-License-Identifier: MIT
#pragma once

#include "base/runtime.h"

// Settles the process for the run its command line asks for; true for a silent run.
// DLLs that the system loads later by name come from System32 only: the program's folder is
// writable, and a DLL planted there would run as whoever starts the program, elevated too.
// Windows' own boxes for a drive without a medium or a file it cannot open stay away (the
// program reports such failures itself, and the box would come before the window); in a silent
// run also the crash box, so that the waiting caller sees the process end with a failure code.
bool StartUp(const Runtime& runtime);
