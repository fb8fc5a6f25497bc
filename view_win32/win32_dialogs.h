// Modal message boxes of the system and their flags.
// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

#include <string>

#include "base/dialogs.h"

// The MessageBoxW flags of a request: icon, buttons and default button. A Yes/No box has neither
// Escape nor a close box on Windows, so the user has to answer it.
UINT MessageBoxFlags(const MessageBoxRequest& request);

// Modal message boxes of the system, owned by the window once it is visible. Before that a box
// has no owner: owned by the hidden window it would have no taskbar button and drop behind the
// configurator at its first click, which then seems hung. It is task-modal and brought to the
// foreground instead.
class Win32Dialogs : public Dialogs {
 public:
  MessageAnswer ShowMessage(const MessageBoxRequest& request) override;

  HWND owner = nullptr;
  // Test seam: shows the box.
  int(WINAPI* show_box)(HWND, LPCWSTR, LPCWSTR, UINT) = MessageBoxW;
};
