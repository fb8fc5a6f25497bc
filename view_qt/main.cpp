// Starts the Linux program: its information options, a silent run or the window.
// SPDX-License-Identifier: MIT
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "app/silent_run.h"
#include "build_id.h"
#include "environment/native_runtime.h"
#include "view_qt/main_window.h"
#include "view_qt/start_messages.h"

namespace {

constexpr const char* kProgram = "Zaro_MainPictureExt_Config";

constexpr const char* kUsage =
    "Usage: Zaro_MainPictureExt_Config [/EXTERNAL=Q7XCFG [/LOGFILE=<path>] | /EXTERNAL=SILENT]\n"
    "Edits bits 0 and 1 of ZaroMainPictureStatus in the plant's parameter/Program.ini. The\n"
    "program lies in <base>/Zaro_MainPictureExt/ and finds every file from there.\n"
    "  (no option)        standalone: the window opens with the local Program.ini\n"
    "  /EXTERNAL=Q7XCFG   integrated: as started by the configurator, from its SaveAndRestore "
    "copy\n"
    "  /LOGFILE=<path>    the configuration log of an integrated run\n"
    "  /EXTERNAL=SILENT   silent: no window, saves the stored bits and stamps the edit\n"
    "  --version          prints the version and the commit it was built from\n";

// Options of our own that touch no file; only a lone, exact argument counts, so that no command
// line of the configurator can ever be taken for one.
bool AnswerInformationOption(int argc, char** argv) {
  if (argc != 2) return false;
  if (std::strcmp(argv[1], "--version") == 0) {
    static_cast<void>(std::printf("%s %s\n", kProgram, build_info::kProductVersion));
    return true;
  }
  if (std::strcmp(argv[1], "--help") == 0) {
    static_cast<void>(std::fputs(kUsage, stdout));
    return true;
  }
  return false;
}

int RunWindow(NativeRuntime& runtime, int argc, char** argv) {
  HoldStartMessages(kProgram, runtime);
  QApplication application(argc, argv);
  ReleaseStartMessages();
  runtime.SetEventPump([] { QCoreApplication::processEvents(); });

  MainWindow main_window(runtime);
  main_window.LoadAndShow();
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  if (AnswerInformationOption(argc, argv)) return 0;
  // Before any toolkit sees them: the window's logic reads the arguments as they were given.
  NativeRuntime runtime(argc, argv);
  if (IsSilentRun(runtime)) return RunSilent(runtime);
  return RunWindow(runtime, argc, argv);
}
