// Writing a file in place, for a file that a new one cannot stand in for.
// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "settings/ini_backend_posix.h"

namespace ini::posix {

// The file's new bytes from its old ones; nullopt when they cannot be made.
using Change = std::function<std::optional<std::string>(std::string_view old_bytes)>;

// For a file a new one cannot stand in for, as the platform's profile functions write: under the
// file's write lock, which the caller holds and every name of the file shares, read again, then
// the new bytes over the old from the first that differs, cut to length and synced. A failed
// write puts the old bytes back. Takes `fd` (open for reading and writing) and closes it.
bool WriteInPlace(SaveCalls& calls, int fd, const Change& change);

}  // namespace ini::posix
