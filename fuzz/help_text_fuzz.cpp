// libFuzzer target of the help-text marker expansion: every "<CRLF>", in any case, becomes one
// line break and nothing else changes.
// SPDX-License-Identifier: MIT
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ui_text/help_mode.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::size_t CountMarkers(const std::string& s) {
  std::size_t count = 0;
  for (std::size_t i = 0; i + 6 <= s.size(); ++i) {
    std::string six = s.substr(i, 6);
    for (char& c : six) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    if (six == "<CRLF>") ++count, i += 5;
  }
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string help(reinterpret_cast<const char*>(data), size);
  const std::string message = ExpandLineMarkers(help);
  Check(CountMarkers(message) == 0);
  Check(message.size() == help.size() - 4 * CountMarkers(help));
  return 0;
}
