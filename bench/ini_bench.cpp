// Benchmarks of reading and writing an entry in a large INI file.
// SPDX-License-Identifier: MIT
#include <benchmark/benchmark.h>
#include <stdlib.h>  // NOLINT(modernize-deprecated-headers): POSIX mkdtemp(), not in <cstdlib>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "settings/ini_backend.h"
#include "settings/ini_text.h"

namespace {

// About 1 MB of sections, with the entry looked for near the end.
std::string MakeLargeIni() {
  std::string bytes;
  for (int section = 0; bytes.size() < (1 << 20); ++section) {
    if (section == 1700) bytes += "[Target]\r\nOther=1\r\nEntry=42\r\n";
    bytes += "[Section" + std::to_string(section) + "]\r\n";
    for (int entry = 0; entry < 20; ++entry) {
      bytes += "Key" + std::to_string(entry) + " = some value " + std::to_string(section) + "\r\n";
    }
  }
  return bytes;
}

const std::string& LargeIni() {
  static const std::string bytes = MakeLargeIni();
  return bytes;
}

// A private folder holding the large file, removed when the program ends.
class BenchFile {
 public:
  BenchFile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ini_bench_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
    path_ = (dir_ / "large.ini").string();
    std::ofstream(path_, std::ios::binary) << LargeIni();
  }
  ~BenchFile() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::filesystem::path dir_;
  std::string path_;
};

const std::string& LargeIniPath() {
  static const BenchFile file;
  return file.path();
}

void BM_FindValueInMemory(benchmark::State& state) {
  const std::string& bytes = LargeIni();
  for (auto _ : state) benchmark::DoNotOptimize(ini::FindValue(bytes, "target", "entry"));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_FindValueInMemory);

void BM_RewriteEntryInMemory(benchmark::State& state) {
  const std::string& bytes = LargeIni();
  for (auto _ : state) benchmark::DoNotOptimize(ini::RewriteEntry(bytes, "target", "entry", "43"));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_RewriteEntryInMemory);

void BM_ReadProfileStringFromFile(benchmark::State& state) {
  const std::string& path = LargeIniPath();
  for (auto _ : state) benchmark::DoNotOptimize(ini::ReadProfileString(path, "target", "entry"));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(LargeIni().size()));
}
BENCHMARK(BM_ReadProfileStringFromFile);

// Includes the lock, the fsync of the file and of its folder. The value alternates: a write that
// changes nothing leaves the file alone and would measure only the read.
void BM_WriteProfileStringToFile(benchmark::State& state) {
  const std::string& path = LargeIniPath();
  bool odd = false;
  for (auto _ : state) {
    odd = !odd;
    if (!ini::WriteProfileString(path, "target", "entry", odd ? "43" : "42"))
      state.SkipWithError("write failed");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(LargeIni().size()));
}
BENCHMARK(BM_WriteProfileStringToFile);

}  // namespace
