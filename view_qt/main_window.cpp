// Loads the window's logic and shows the Qt window.
// SPDX-License-Identifier: MIT
#include "view_qt/main_window.h"

#include <QScreen>
#include <QStyle>

#include "errors/error_handler.h"

void MainWindow::LoadAndShow() {
  RunOutermost(module, [&] { logic.Form_Load(); });
  // The window manager's frame is known only once the window shows: the style's title bar and
  // frame stand in for it.
  const int border = view.style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
  const int title = view.style()->pixelMetric(QStyle::PM_TitleBarHeight);
  if (const QScreen* screen = view.screen()) {
    view.FitInto(screen->availableGeometry(), QMargins(border, title + border, border, border));
  }
  view.show();
}
