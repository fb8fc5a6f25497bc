// Test runtime and message boxes whose failures and answers a test controls.
// SPDX-License-Identifier: MIT
#include "support/fakes.h"

#include <fstream>
#include <iterator>
#include <random>

void FakeRuntime::AppendToFile(const std::string& path, const std::string& text) {
  if (passing_appends > 0) {
    --passing_appends;
  } else if (failing_appends > 0) {
    --failing_appends;
    throw RuntimeError(ErrorNumber::kPathFileAccess, program_name);
  }
  NativeRuntime::AppendToFile(path, text);
}

MessageAnswer FakeDialogs::ShowMessage(const MessageBoxRequest& request) {
  shown.push_back(request);
  if (on_show) on_show();
  if (answers.empty()) return request.default_answer;
  const MessageAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

TempDir::TempDir(const std::filesystem::path& parent) {
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    path_ = parent / ("zaro-test-" + std::to_string(random()));
    // Only a folder this call created is ours.
    if (std::filesystem::create_directory(path_)) return;
  }
  throw std::runtime_error("no temporary folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

int AppendErrorNumber(NativeRuntime& runtime, const std::string& path) {
  try {
    runtime.AppendToFile(path, "entry");
  } catch (const RuntimeError& error) {
    return error.number();
  }
  return 0;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(PathOf(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(PathOf(path).parent_path());
  std::ofstream out(PathOf(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::set<std::string> NamesIn(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& item : std::filesystem::directory_iterator(folder)) {
    names.insert(item.path().filename().string());
  }
  return names;
}

ModuleTest::ModuleTest() {
  std::filesystem::create_directories(dir_.path() / "plant/Tools");
  runtime_.program_folder = dir_ / "plant/Tools";
  runtime_.service_log = dir_ / "MorvikServicePack.log";
}

void ModuleTest::PutWindowPlant(const std::string& own_ini) {
  Put("parameter/Program.ini", "[Machine1]\r\nZaroMainPictureStatus=1\r\n");
  Put("Zaro_MainPictureExt/Zaro_MainPictureExt.cfg", "[Project]\r\nValidMachines=1\r\n");
  Put("Tools/Zaro_MainPictureExt_Config.ini", own_ini);
}

std::string ModuleTest::Put(const std::string& relative, const std::string& bytes) {
  std::string path = dir_ / ("plant/" + relative);
  WriteBytes(path, bytes);
  return path;
}
