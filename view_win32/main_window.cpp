// Loads the window's logic and shows the Win32 window.
// SPDX-License-Identifier: MIT
#include "view_win32/main_window.h"

#include "errors/error_handler.h"

void MainWindow::LoadAndShow(int show_command) {
  RunOutermost(module, [&] { logic.Form_Load(); });
  view.Show(show_command);
}
