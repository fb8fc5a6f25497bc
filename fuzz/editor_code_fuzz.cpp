// libFuzzer target of the editor code: any environment entry, valid text or not, gives upper-case
// hexadecimal digits and nothing else, empty only when the value holds just "-" and "_".
// SPDX-License-Identifier: MIT
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/edit_stamp.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string entry(reinterpret_cast<const char*>(data), size);
  const std::string code = EditorCodeOf(entry);
  Check(code.find_first_not_of("0123456789ABCDEF") == std::string::npos);
  const std::size_t equals = entry.find('=');
  const std::string value = equals == std::string::npos ? entry : entry.substr(equals + 1);
  Check(code.empty() == (value.find_first_not_of("-_") == std::string::npos));
  Check(code.size() <= 2 * value.size());
  return 0;
}
