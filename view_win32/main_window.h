// The one window on screen with everything it works with, its boxes owned by it.
// SPDX-License-Identifier: MIT
#pragma once

#include "app/config_window.h"
#include "app/window_table.h"
#include "base/module.h"
#include "base/runtime.h"
#include "view_win32/win32_dialogs.h"
#include "view_win32/win32_window.h"

// The one window on screen with everything it works with, its boxes owned by it.
struct MainWindow {
  explicit MainWindow(Runtime& runtime) : module(runtime, dialogs) {
    dialogs.owner = view.handle();
  }
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Runs the load as the outermost frame of an event, then shows the window.
  void LoadAndShow(int show_command = SW_SHOWNORMAL);

  Win32Dialogs dialogs;
  Module module;
  Form form = MakeMainForm();
  ConfigWindow logic{module, form};
  Win32Window view{module, form, logic};
};
