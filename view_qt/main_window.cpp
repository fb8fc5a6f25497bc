// Loads the window's logic and shows the Qt window.
// SPDX-License-Identifier: MIT
#include "view_qt/main_window.h"

#include "errors/error_handler.h"

void MainWindow::LoadAndShow() {
  RunOutermost(module, [&] { logic.Form_Load(); });
  view.show();
}
