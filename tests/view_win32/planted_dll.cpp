// Lies beside the window tests as a planted DLL would beside the program.
// SPDX-License-Identifier: MIT
extern "C" __declspec(dllexport) int Planted() {
  return 1;
}
