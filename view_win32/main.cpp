#include <windows.h>

#include "app/config_window.h"
#include "app/silent_run.h"
#include "app/window_table.h"
#include "environment/native_runtime.h"
#include "errors/error_handler.h"
#include "view_win32/win32_dialogs.h"
#include "view_win32/win32_window.h"

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*arguments*/,
                   int show_command) {
  NativeRuntime runtime(0, nullptr);
  if (IsSilentRun(runtime)) return RunSilent(runtime);

  Win32Dialogs dialogs;
  Module module(runtime, dialogs);
  Form form = MakeMainForm();
  ConfigWindow window(module, form);
  Win32Window view(module, form, window);
  if (view.handle() == nullptr) {
    runtime.WriteStandardError("Zaro_MainPictureExt_Config: the window cannot be created.\n");
    return kExitFailure;
  }
  dialogs.owner = view.handle();
  RunOutermost(module, [&] { window.Form_Load(); });
  view.Show(show_command);
  return view.RunMessageLoop();
}
