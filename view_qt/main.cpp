#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/silent_run.h"
#include "environment/native_runtime.h"
#include "errors/error_handler.h"
#include "view_qt/main_window.h"

namespace {

QtMessageHandler previous_handler = nullptr;

// Qt ends the process when it finds no display; say so plainly and leave with the failure
// status instead of an abort.
void NoDisplayHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtFatalMsg) {
    if (previous_handler != nullptr) previous_handler(type, context, message);
    return;
  }
  std::fprintf(stderr,
               "Zaro_MainPictureExt_Config: the window cannot be shown, no display is available "
               "(%s).\nStart it from a desktop session, or with /EXTERNAL=SILENT to save "
               "without a window.\n",
               message.section(QLatin1Char('\n'), 0, 0).toLocal8Bit().constData());
  std::fflush(stderr);
  std::_Exit(kExitFailure);
}

int RunWindow(NativeRuntime& runtime, int argc, char** argv) {
  previous_handler = qInstallMessageHandler(NoDisplayHandler);
  QApplication application(argc, argv);
  qInstallMessageHandler(previous_handler);
  runtime.SetEventPump([] { QCoreApplication::processEvents(); });

  MainWindow main_window(runtime);
  main_window.LoadAndShow();
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  // Before any toolkit sees them: the window's logic reads the arguments as they were given.
  NativeRuntime runtime(argc, argv);
  if (IsSilentRun(runtime)) return RunSilent(runtime);
  return RunWindow(runtime, argc, argv);
}
