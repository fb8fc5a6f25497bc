// Writes a whole buffer through a write(2)-like call, retrying until all is taken.
// SPDX-License-Identifier: MIT
#pragma once

#include <cerrno>
#include <cstddef>
#include <string_view>

// Hands `bytes` to `write` (a call like write(2) on one descriptor) until all are taken. False
// when a call fails or takes nothing; errno then says why (ENOSPC for a call that took nothing).
template <typename Write>
bool WriteAll(std::string_view bytes, Write&& write) {
  while (!bytes.empty()) {
    const auto taken = write(bytes.data(), bytes.size());
    if (taken < 0 && errno == EINTR) continue;
    if (taken < 0) return false;
    if (taken == 0) {
      errno = ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(taken));
  }
  return true;
}
