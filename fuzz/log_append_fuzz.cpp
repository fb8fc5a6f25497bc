// Fuzzes the log append on every shape a log path can have: regular files, FIFOs, folders and
// links (another user's, when run as root). It must never wait, never write into a FIFO and never
// write outside the scratch folder.
// SPDX-License-Identifier: MIT
#include <cstddef>
#include <cstdint>
#include <string>

#include "environment/native_runtime.h"
#include "errors/error.h"
#include "scratch_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static scratch::Tree tree;
  static NativeRuntime runtime(0, nullptr);
  const std::string path = tree.LayOut(data, size);
  try {
    runtime.AppendToFile(path, "entry");
  } catch (const RuntimeError&) {
  }
  tree.Check();
  return 0;
}
