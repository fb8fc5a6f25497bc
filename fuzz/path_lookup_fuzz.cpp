// libFuzzer target of the case-insensitive path lookup: a scratch folder of folders, files and
// links whose names differ in case only, then one path to look up. The answer must be the one a
// plain search through every spelling gives, found without trying a spelling twice per folder.
// SPDX-License-Identifier: MIT
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "base/codepage.h"
#include "environment/native_runtime.h"

namespace fs = std::filesystem;

namespace {

constexpr std::array<const char*, 8> kNames = {"a",        "A",        "b", "B",
                                               "\xC3\xA4", "\xC3\x84", ".", ".."};

void Check(bool condition) {
  if (!condition) std::abort();
}

// Removed when the fuzzer ends.
struct ScratchFolder {
  ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "path_lookup_fuzz.XXXXXX").string();
    Check(mkdtemp(pattern.data()) != nullptr);
    root = pattern;
  }
  ~ScratchFolder() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  fs::path root;
};

const fs::path& Scratch() {
  static const ScratchFolder scratch;
  return scratch.root;
}

std::u32string Folded(const std::string& name) {
  std::u32string folded = text::DecodeUtf8(name);
  for (char32_t& c : folded) c = text::LowerCodePoint(c);
  return folded;
}

// Every spelling in order, exact first: the search as it was before it remembered folders.
std::string Plain(const std::string& prefix, const std::vector<std::string>& parts,
                  std::size_t index) {
  std::error_code ec;
  const bool last = index + 1 == parts.size();
  const std::string& part = parts[index];
  const auto join = [&](const std::string& name) { return prefix + "/" + name; };
  if (part == "." || part == "..") {
    return last || !fs::is_directory(join(part), ec) ? "" : Plain(join(part), parts, index + 1);
  }
  std::vector<std::string> variants;
  if (fs::exists(fs::symlink_status(join(part), ec))) variants.push_back(part);
  std::vector<std::string> others;
  for (const auto& item : fs::directory_iterator(prefix, ec)) {
    const std::string name = item.path().filename().string();
    if (name != part && Folded(name) == Folded(part)) others.push_back(name);
  }
  std::sort(others.begin(), others.end());
  variants.insert(variants.end(), others.begin(), others.end());
  for (const std::string& variant : variants) {
    std::string next = join(variant);
    if (last && fs::is_regular_file(next, ec)) return next;
    if (!last && fs::is_directory(next, ec)) {
      std::string found = Plain(next, parts, index + 1);
      if (!found.empty()) return found;
    }
  }
  return {};
}

std::string PathOf(FuzzedDataProvider& data, std::size_t max_parts, bool with_dots) {
  std::string path;
  const auto parts = data.ConsumeIntegralInRange<std::size_t>(1, max_parts);
  for (std::size_t i = 0; i < parts; ++i) {
    const std::size_t count = kNames.size() - (with_dots ? 0 : 2);
    path += std::string(i == 0 ? "" : "/") +
            kNames[data.ConsumeIntegralInRange<std::size_t>(0, count - 1)];
  }
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  const fs::path& root = Scratch();
  std::error_code ec;
  for (const auto& item : fs::directory_iterator(root)) fs::remove_all(item.path(), ec);
  const int entries = data.ConsumeIntegralInRange(0, 24);
  for (int i = 0; i < entries; ++i) {
    const fs::path at = root / PathOf(data, 3, false);
    switch (data.ConsumeIntegralInRange(0, 2)) {
      case 0:
        fs::create_directories(at, ec);
        break;
      case 1:
        fs::create_symlink(PathOf(data, 3, true), at, ec);
        break;
      default:
        fs::create_directories(at.parent_path(), ec);
        fs::remove(at, ec);
        std::ofstream made{at};
        break;
    }
  }
  std::vector<std::string> parts;
  std::string query = root.string();
  const auto count = data.ConsumeIntegralInRange<std::size_t>(1, 12);
  for (std::size_t i = 0; i < count; ++i) {
    parts.emplace_back(kNames[data.ConsumeIntegralInRange<std::size_t>(0, kNames.size() - 1)]);
    query += "/" + parts.back();
  }
  const NativeRuntime runtime(0, nullptr);
  const std::string found = runtime.FindFile(query);
  const std::string expected =
      fs::is_regular_file(query, ec) ? query : Plain(root.string(), parts, 0);
  Check(found == expected);
  return 0;
}
