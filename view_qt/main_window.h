// The one window on screen with everything it works with, its boxes parented to it.
// SPDX-License-Identifier: MIT
#pragma once

#include "app/config_window.h"
#include "app/window_table.h"
#include "base/module.h"
#include "base/runtime.h"
#include "view_qt/qt_dialogs.h"
#include "view_qt/qt_window.h"

// The one window on screen with everything it works with, its boxes parented to it.
struct MainWindow {
  explicit MainWindow(Runtime& runtime) : module(runtime, dialogs) { dialogs.parent = &view; }
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Runs the load as the outermost frame of an event, then shows the window.
  void LoadAndShow();

  QtDialogs dialogs;
  Module module;
  Form form = MakeMainForm();
  ConfigWindow logic{module, form};
  QtWindow view{module, form, logic};
};
