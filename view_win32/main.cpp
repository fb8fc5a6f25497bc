// Starts the Windows program: a silent run or the window.
// SPDX-License-Identifier: MIT
#include <windows.h>

#include "app/silent_run.h"
#include "environment/native_runtime.h"
#include "errors/error_handler.h"
#include "view_win32/main_window.h"
#include "view_win32/start_up.h"

// The show command keeps the name <winbase.h> declares it by.
int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*arguments*/,
                   int nShowCmd) {
  // The runtime only reads what the process was given; it loads nothing and opens no file.
  NativeRuntime runtime(0, nullptr);
  if (StartUp(runtime)) return RunSilent(runtime);

  MainWindow main_window(runtime);
  if (main_window.view.handle() == nullptr) {
    runtime.WriteStandardError("Zaro_MainPictureExt_Config: the window cannot be created.\n");
    return kExitFailure;
  }
  main_window.LoadAndShow(nShowCmd);
  return main_window.view.RunMessageLoop();
}
