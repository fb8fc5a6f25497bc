#include "view_qt/main_window.h"

#include "errors/error_handler.h"

void MainWindow::LoadAndShow() {
  RunOutermost(module, [&] { logic.Form_Load(); });
  view.show();
}
