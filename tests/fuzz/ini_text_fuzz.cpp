// libFuzzer target: any bytes as a file, a few names and values written into it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/ini_text.h"

namespace {

constexpr std::string_view kNames[] = {"A", "s", "Machine1", "1031", "k", "\xE4\xF6"};

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::string_view section = kNames[data[0] % std::size(kNames)];
  const std::string_view entry = kNames[data[1] % std::size(kNames)];
  const std::string_view file(reinterpret_cast<const char*>(data) + 2, size - 2);

  static_cast<void>(ini::FindValue(file, section, entry));
  static_cast<void>(ini::ParseProfileInt(file));

  // A plain value written is the value read back, and a second write of it changes nothing.
  const std::string once = ini::RewriteEntry(file, section, entry, "v 1");
  Check(ini::FindValue(once, section, entry) == "v 1");
  Check(ini::RewriteEntry(once, section, entry, "v 1") == once);
  return 0;
}
