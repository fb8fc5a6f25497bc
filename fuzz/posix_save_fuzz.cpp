// Fuzzes the POSIX save on every shape its path can have: regular files, FIFOs, folders and links
// (another user's, when run as root). It must never wait, never write into a FIFO or outside the
// scratch folder, and a save it reports done must read back.
// SPDX-License-Identifier: MIT
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "scratch_tree.h"
#include "settings/ini_backend.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static scratch::Tree tree;
  const std::string path = tree.LayOut(data, size);
  std::string value;
  for (std::size_t i = 6; i < size && value.size() < 20; ++i) value += "abcdefgh"[data[i] % 8];
  if (ini::WriteProfileString(path, "S", "k", value) &&
      ini::ReadProfileString(path, "S", "k") != value) {
    std::abort();
  }
  tree.Check();
  return 0;
}
