// Qt's messages while the application starts, with one line of ours when it fails.
// SPDX-License-Identifier: MIT
#pragma once

#include "base/runtime.h"

// Qt's messages while the application starts: shown as they are when the start succeeds,
// replaced by one line of ours that names the cause when it fails (Qt would abort the process).

// From here on Qt's messages are held; a fatal one ends the program through `runtime` with
// kExitFailure and the line "<program>: the window cannot be shown, <cause>." on standard error.
void HoldStartMessages(const char* program, Runtime& runtime);

// Hands the held messages to Qt's handler and lets the later ones go straight to it.
void ReleaseStartMessages();
