// Saves one entry from a process of its own, for tests that need another user or another process:
// ini_save_tool FILE SECTION ENTRY VALUE; exit status 0 when written, 3 when refused, 2 for a
// wrong call (anything else, a sanitizer's abort among them, is a failure of the tool).
// SPDX-License-Identifier: MIT
#include "settings/ini_backend.h"

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  return ini::WriteProfileString(argv[1], argv[2], argv[3], argv[4]) ? 0 : 3;
}
