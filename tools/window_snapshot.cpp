// Renders the window, as loaded from a plant's program folder, into a PNG file:
//   window_snapshot <program folder> <out.png>   (QT_QPA_PLATFORM=offscreen needs no display)
// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <cstdio>
#include <string>

#include "environment/native_runtime.h"
#include "view_qt/main_window.h"

namespace {

class PlantRuntime : public NativeRuntime {
 public:
  PlantRuntime(int argc, char** argv, std::string folder)
      : NativeRuntime(argc, argv), folder_(std::move(folder)) {}
  std::string ProgramFolder() const override { return folder_; }
  std::string ProgramName() const override { return "Zaro_MainPictureExt_Config"; }
  std::string ProgramFilePath() const override { return folder_ + "/" + ProgramName(); }
  std::string ArgumentText() const override { return ""; }

 private:
  std::string folder_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    static_cast<void>(std::fprintf(stderr, "usage: window_snapshot <program folder> <out.png>\n"));
    return 2;
  }
  PlantRuntime runtime(0, nullptr, argv[1]);
  const std::string out = argv[2];
  QApplication application(argc, argv);
  MainWindow main_window(runtime);
  main_window.LoadAndShow();
  QtWindow& view = main_window.view;
  QApplication::processEvents();
  // The frame is the window manager's; render the client area with the title above it.
  const QPixmap client = view.grab();
  QPixmap shot(client.width(), client.height() + 24);
  shot.fill(QColor(60, 90, 150));
  {
    QPainter painter(&shot);
    painter.setPen(Qt::white);
    QFont title = painter.font();
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRect(8, 0, shot.width() - 16, 24), Qt::AlignVCenter | Qt::AlignLeft,
                     view.windowTitle());
    painter.drawPixmap(0, 24, client);
  }
  if (!shot.save(QString::fromStdString(out))) {
    static_cast<void>(std::fprintf(stderr, "cannot write %s\n", out.c_str()));
    return 1;
  }
  return 0;
}
