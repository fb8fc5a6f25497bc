// Benchmarks of reading and writing an entry in a large INI file.
// SPDX-License-Identifier: MIT
#include <benchmark/benchmark.h>
#include <stdlib.h>  // NOLINT(modernize-deprecated-headers): POSIX mkdtemp(), not in <cstdlib>

#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>

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

// The machine list of a plant whose Program.ini holds NumberOfMachines=32767 and one comment
// line of 1 MiB: one read of each machine's name, as the program's start makes them. The file is
// first left to settle (no time stamp within the last seconds), as a plant's file is, so that
// its parse may be kept for the run.
void BM_ReadEveryMachineOfALargeProgramIni(benchmark::State& state) {
  std::string bytes = "[Project]\r\nNumberOfMachines=32767\r\n;" + std::string(1 << 20, 'x');
  for (int machine = 1; machine <= 32767; ++machine) {
    bytes +=
        "\r\n[Machine" + std::to_string(machine) + "]\r\nMachineName=M" + std::to_string(machine);
  }
  static const BenchFile file;
  const std::string path = std::filesystem::path(file.path()).parent_path() / "Program.ini";
  std::ofstream(path, std::ios::binary) << bytes;
  struct stat info {};
  while (stat(path.c_str(), &info) == 0 && info.st_ctim.tv_sec + 4 > std::time(nullptr)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  for (auto _ : state) {
    const int count = ini::ReadProfileInt(path, "Project", "NumberOfMachines", -1);
    for (int machine = 1; machine <= count; ++machine) {
      benchmark::DoNotOptimize(
          ini::ReadProfileString(path, "Machine" + std::to_string(machine), "MachineName"));
    }
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["file_MiB"] = static_cast<double>(bytes.size()) / (1 << 20);
  state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}
BENCHMARK(BM_ReadEveryMachineOfALargeProgramIni)->Unit(benchmark::kMillisecond);

}  // namespace
