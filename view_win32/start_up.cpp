// What the process settles before anything else runs.
// SPDX-License-Identifier: MIT
#include "view_win32/start_up.h"

#include <windows.h>

#include "app/silent_run.h"

namespace {

void LoadDllsFromSystemOnly() {
  // Looked up: Windows 7 has it only with KB2533623, and an import would keep the program from
  // starting without it.
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  const auto set_default =
      reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void (*)()>(
          GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (set_default != nullptr && set_default(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE) return;
  // Takes the current folder out of the search at least; the program's own stays first.
  SetDllDirectoryW(L"");
}

}  // namespace

bool StartUp(const Runtime& runtime) {
  LoadDllsFromSystemOnly();
  const bool silent = IsSilentRun(runtime);
  const UINT no_boxes = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
  SetErrorMode(silent ? no_boxes | SEM_NOGPFAULTERRORBOX : no_boxes);
  return silent;
}
