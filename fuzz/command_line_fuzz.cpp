// libFuzzer target of the command-line reader: any argument text, any option name, both path
// styles. A value found never runs into the next option and carries no blanks around it.
// SPDX-License-Identifier: MIT
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/codepage.h"
#include "base/command_line_rules.h"
#include "environment/command_line.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const char* const kNames[] = {"EXTERNAL", "LOGFILE", "E", ""};
  std::string name = kNames[in.ConsumeIntegralInRange(0, 3)];
  if (name.empty()) name = in.ConsumeRandomLengthString(8);
  const std::string line = in.ConsumeRemainingBytesAsString();
  for (const PathStyle style : {PathStyle::kPosix, PathStyle::kWindows}) {
    const OptionLookup found = LookUpOption(line, name, style);
    if (!found.value) continue;
    const std::string& value = *found.value;
    Check(!found.invalid_argument);
    Check(text::EncodeUtf8(text::DecodeUtf8(value)) == value);
    if (value.empty()) continue;
    Check(value.front() != ' ' && value.back() != ' ');
    if (style == PathStyle::kPosix) Check(value.find(" /") == std::string::npos);
    if (style == PathStyle::kWindows) Check(value.find('/') == std::string::npos);
  }
  return 0;
}
